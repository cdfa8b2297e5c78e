// Access databases (.mdb Jet 3 / Jet 4, .accdb) read through libmdb.
// libmdb walks the pages and rows; the values are decoded here from their
// raw bytes, so that neither the process locale nor libmdb's text
// conversions (with their fixed-size buffers) can alter them.
//
// libmdb trusts the file: a damaged catalogue or table definition makes it
// loop, allocate without end or read past its buffers. So the catalogue is
// read here (libmdb's own reader also parses the property blocks of every
// object, which we never use), and every table definition is checked —
// its page chain, its column and index counts, its usage maps — before
// libmdb is handed it.
#include <algorithm>
#include <functional>
#include "data/Pilotes.h"

#include <glib.h>
#include <mdbtools.h>

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTime>

#include <cmath>
#include <cstring>
#include <vector>

namespace vl::data::detail {

namespace {

quint16 L16(const unsigned char* p) { return quint16(p[0] | (p[1] << 8)); }
quint32 L32(const unsigned char* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

QString MessageEndommagee(const QString& fichier)
{
    return tr("La base Access %1 est endommagée ou illisible").arg(fichier);
}

// Checks what libmdb does not: the signature, the page size and whether the
// file is encrypted, so that a damaged file gives a message, not a crash.
void VerifierFichier(const QString& fichier)
{
    QFile f(fichier);
    if (!f.exists())
        throw ErreurDonnees(tr("Le fichier %1 n'existe pas").arg(fichier), fichier);
    if (!f.open(QIODevice::ReadOnly))
        throw ErreurDonnees(tr("Impossible d'ouvrir le fichier %1 : %2").arg(fichier, f.errorString()),
                            fichier);
    const QByteArray entete = f.read(4096);
    if (entete.size() < 0x20 || (entete.mid(4, 15) != "Standard Jet DB" && entete.mid(4, 15) != "Standard ACE DB"))
        throw ErreurDonnees(tr("Le fichier %1 n'est pas une base de données Access").arg(fichier),
                            fichier);
    const int version = quint8(entete[0x14]);
    const qint64 page = version == 0 ? 2048 : 4096;
    if (f.size() < 3 * page || f.size() % page != 0)
        throw ErreurDonnees(MessageEndommagee(fichier), fichier);
    // Databases encrypted by Access 2007 and later name their cryptographic
    // provider in the header page; libmdb cannot read them.
    static const QByteArray crypto = QString(QStringLiteral("Cryptographic Provider")).toUtf8();
    QByteArray utf16;
    for (char c : crypto) {
        utf16 += c;
        utf16 += '\0';
    }
    if (entete.contains(crypto) || entete.contains(utf16))
        throw ErreurDonnees(tr("La base Access %1 est chiffrée : elle ne peut pas être lue ici. "
                               "Enregistrez-la sans chiffrement dans Access.").arg(fichier), fichier);
}

QString NomNu(const QString& nom)
{
    QString n = nom.trimmed();
    if (n.startsWith(QLatin1Char('[')) && n.endsWith(QLatin1Char(']')))
        n = n.mid(1, n.size() - 2);
    return n;
}

// The picture inside an OLE object field: Access wraps what was pasted in an
// OLE header and an OLE 1 stream. Raw bytes without the header are kept.
QByteArray DeballerOle(const QByteArray& brut)
{
    const auto* p = reinterpret_cast<const unsigned char*>(brut.constData());
    const qsizetype n = brut.size();
    if (n < 24 || L16(p) != 0x1C15)
        return brut;
    static const QByteArray signatures[] = {
        QByteArray("\x89PNG\r\n\x1A\n", 8), QByteArray("\xFF\xD8\xFF", 3), QByteArray("GIF87a"),
        QByteArray("GIF89a"), QByteArray("II*\0", 4), QByteArray("MM\0*", 4),
    };
    const auto commencePar = [](const QByteArray& d) {
        for (const auto& s : signatures)
            if (d.startsWith(s))
                return true;
        return d.startsWith("BM") && d.size() > 14;
    };
    qsizetype pos = L16(p + 2);  // OLE header size
    // OLE 1 stream: version, format, class, topic, item, native size, native data.
    QByteArray natif;
    const auto lire32 = [&](quint32& v) {
        if (pos + 4 > n)
            return false;
        v = L32(p + pos);
        pos += 4;
        return true;
    };
    quint32 version = 0, format = 0, longueur = 0;
    if (lire32(version) && lire32(format) && format == 2) {
        bool ok = true;
        for (int i = 0; i < 3 && ok; ++i) {
            ok = lire32(longueur) && pos + qsizetype(longueur) <= n;
            pos += longueur;
        }
        if (ok && lire32(longueur) && pos + qsizetype(longueur) <= n)
            natif = brut.mid(pos, longueur);
    }
    if (!natif.isEmpty() && commencePar(natif))
        return natif;
    // Other servers keep the picture deeper (compound files): take the first
    // known picture signature.
    qsizetype meilleur = -1;
    for (const auto& s : signatures) {
        const qsizetype i = brut.indexOf(s, L16(p + 2));
        if (i >= 0 && (meilleur < 0 || i < meilleur))
            meilleur = i;
    }
    if (meilleur >= 0)
        return brut.mid(meilleur);
    return natif.isEmpty() ? brut : natif;
}

// Access dates: days since 1899-12-30, the fraction being the time of day
// whatever the sign of the day (-1.25 is 1899-12-29 06:00).
QVariant DateAccess(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > 3e6)
        return QVariant();
    double jours = std::trunc(v);
    qint64 ms = std::llround(std::fabs(v - jours) * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        jours += 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(qint64(jours));
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}


// One object of the catalogue (table MSysObjects).
struct ObjetCatalogue
{
    QString nom;
    int type = 0;
    unsigned long page = 0;
    int drapeaux = 0;
};

// The raw bytes of one field of a row, copied out of the page buffer.
struct Brut
{
    QByteArray octets;
    bool null = true;
    bool present = false;
};

// An open database: libmdb's handle and what is needed to decode values.
class Base
{
public:
    explicit Base(const QString& fichier);
    ~Base()
    {
        if (m_mdb)
            mdb_close(m_mdb);
    }
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

    [[noreturn]] void Endommagee() const { throw ErreurDonnees(MessageEndommagee(m_fichier), m_fichier); }
    MdbHandle* Mdb() const { return m_mdb; }
    const QString& Fichier() const { return m_fichier; }
    bool Jet4() const { return m_jet4; }

    QList<ObjetCatalogue> Catalogue();
    // Reads a table definition and its columns, once checked; the entry
    // must outlive the returned definition.
    MdbTableDef* LireDefinition(MdbCatalogEntry& entree);
    // Calls `ligne` for every row of the table, fields in column order.
    void ParcourirLignes(MdbTableDef* table, const std::function<void(std::vector<Brut>&)>& ligne);
    QVariant Decoder(MdbColumn* col, const Brut& brut) const;

private:
    QByteArray Page(quint32 numero) const;
    void VerifierDefinition(quint32 page) const;
    void VerifierLigne(quint32 pgLigne, int tailleMin) const;
    void VerifierProprietes(const QByteArray& bloc) const;
    QString Texte(const unsigned char* p, size_t n) const;
    QByteArray LireLval(const unsigned char* p, size_t n) const;

    QString m_fichier;
    MdbHandle* m_mdb = nullptr;
    qint64 m_taillePage = 0;
    quint32 m_nbPages = 0;
    bool m_jet4 = true;
    int m_codePage = 1252;
};

Base::Base(const QString& fichier)
    : m_fichier(fichier)
{
    VerifierFichier(fichier);
    m_mdb = mdb_open(QFile::encodeName(fichier).constData(), MDB_NOFLAGS);
    if (!m_mdb)
        Endommagee();
    m_taillePage = qint64(m_mdb->fmt->pg_size);
    const qint64 taille = QFileInfo(fichier).size();
    if (m_taillePage <= 0 || m_taillePage > MDB_PGSIZE || taille % m_taillePage != 0
        || taille / m_taillePage > 0x00FFFFFF)
        Endommagee();
    m_nbPages = quint32(taille / m_taillePage);
    m_jet4 = m_mdb->f->jet_version != MDB_VER_JET3;
    m_codePage = m_mdb->f->code_page ? m_mdb->f->code_page : 1252;
}

// A page as libmdb sees it (it deciphers pages of encoded databases).
QByteArray Base::Page(quint32 numero) const
{
    if (numero == 0 || numero >= m_nbPages || mdb_read_pg(m_mdb, numero) != m_taillePage)
        Endommagee();
    return QByteArray(reinterpret_cast<const char*>(m_mdb->pg_buf), qsizetype(m_taillePage));
}

// A row pointer (page << 8 | row) libmdb will follow: the page must exist
// and the row lie within it, at least `tailleMin` bytes long.
void Base::VerifierLigne(quint32 pgLigne, int tailleMin) const
{
    const QByteArray page = Page(pgLigne >> 8);
    const auto* p = reinterpret_cast<const unsigned char*>(page.constData());
    const int rco = m_mdb->fmt->row_count_offset;
    const int ligne = int(pgLigne & 0xFF);
    const int nbLignes = L16(p + rco);
    if (ligne >= nbLignes || rco + 2 + 2 * nbLignes > m_taillePage)
        Endommagee();
    const int debut = L16(p + rco + 2 + 2 * ligne) & 0x1FFF;
    const int fin = ligne == 0 ? int(m_taillePage) : (L16(p + rco + 2 * ligne) & 0x1FFF);
    if (debut >= m_taillePage || fin > m_taillePage || fin - debut < tailleMin)
        Endommagee();
}

// What libmdb's table and column readers walk: a chain of definition pages
// (type 2, each continuing at byte 8 of the next), holding the counts, the
// index entries, the column entries and the column names.
void Base::VerifierDefinition(quint32 premiere) const
{
    const MdbFormatConstants* fmt = m_mdb->fmt;
    QByteArray def = Page(premiere);
    if (quint8(def[0]) != 0x02)
        Endommagee();
    quint32 suivante = L32(reinterpret_cast<const unsigned char*>(def.constData()) + 4);
    QSet<quint32> vues{premiere};
    // No real definition comes near this; it also keeps libmdb's int
    // offsets far from overflowing.
    const qint64 maximum = 1 << 20;
    const auto exiger = [&](qint64 n) {
        if (n > maximum)
            Endommagee();
        while (def.size() < n) {
            if (vues.contains(suivante))
                Endommagee();
            vues.insert(suivante);
            const QByteArray page = Page(suivante);
            if (quint8(page[0]) != 0x02)
                Endommagee();
            suivante = L32(reinterpret_cast<const unsigned char*>(page.constData()) + 4);
            def.append(page.mid(8));
        }
    };
    const auto octets = [&]() { return reinterpret_cast<const unsigned char*>(def.constData()); };
    exiger(fmt->tab_cols_start_offset);
    const qint64 nbColonnes = L16(octets() + fmt->tab_num_cols_offset);
    const qint64 nbIndex = L32(octets() + fmt->tab_num_ridxs_offset);
    if (nbColonnes == 0 || nbColonnes > MDB_MAX_COLS)
        Endommagee();
    const quint32 carte = L32(octets() + fmt->tab_usage_map_offset);
    const quint32 carteLibre = L32(octets() + fmt->tab_free_map_offset);
    qint64 pos = fmt->tab_cols_start_offset + nbIndex * fmt->tab_ridx_entry_size
                 + nbColonnes * fmt->tab_col_entry_size;
    const int tailleLongueur = m_jet4 ? 2 : 1;
    for (qint64 i = 0; i < nbColonnes; ++i) {
        exiger(pos + tailleLongueur);
        pos += tailleLongueur + (m_jet4 ? L16(octets() + pos) : octets()[pos]);
    }
    exiger(pos);
    // The usage map lists the table's data pages: a type byte, then a first
    // page and a bitmap, or pointers to bitmap pages.
    VerifierLigne(carte, 5);
    VerifierLigne(carteLibre, 1);
}

// The property block of a catalogue object (column LvProp): "KKD" or "MR2",
// then chunks of a 32-bit length and a type, holding the property names or
// the properties of the object and of each column. Each length must stay
// within what holds it; libmdb's own reader did not check them, and a zero
// length made it loop for ever.
void Base::VerifierProprietes(const QByteArray& bloc) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(bloc.constData());
    const qint64 n = bloc.size();
    if (n == 0)
        return;
    if (n < 4 || (std::memcmp(p, "KKD", 4) != 0 && std::memcmp(p, "MR2", 4) != 0))
        Endommagee();
    for (qint64 pos = 4; pos < n;) {
        if (pos + 6 > n)
            Endommagee();
        const qint64 longueur = L32(p + pos);
        const int type = L16(p + pos + 4);
        if (longueur < 6 || longueur > n - pos)
            Endommagee();
        const unsigned char* contenu = p + pos + 6;
        const qint64 taille = longueur - 6;
        if (type == 0x80) {
            // Property names, each with its 16-bit length.
            for (qint64 i = 0; i < taille;) {
                if (i + 2 > taille || i + 2 + L16(contenu + i) > taille)
                    Endommagee();
                i += 2 + L16(contenu + i);
            }
        } else if (type <= 2) {
            // Properties of one object or column: a header with its name,
            // then entries of at least 8 bytes holding their value.
            if (taille < 6 || 6 + L16(contenu + 4) > taille)
                Endommagee();
            for (qint64 i = 6 + L16(contenu + 4); i < taille;) {
                if (i + 8 > taille)
                    Endommagee();
                const qint64 entree = L16(contenu + i);
                if (entree < 8 || entree > taille - i || 8 + L16(contenu + i + 6) > entree)
                    Endommagee();
                i += entree;
            }
        }
        pos += longueur;
    }
}

MdbTableDef* Base::LireDefinition(MdbCatalogEntry& entree)
{
    if (entree.table_pg > 0xFFFFFFFFul)
        Endommagee();
    VerifierDefinition(quint32(entree.table_pg));
    MdbTableDef* table = mdb_read_table(&entree);
    if (!table)
        Endommagee();
    if (!mdb_read_columns(table) || table->num_cols == 0 || table->num_cols > MDB_MAX_COLS
        || table->columns->len != table->num_cols) {
        mdb_free_tabledef(table);
        Endommagee();
    }
    return table;
}

void Base::ParcourirLignes(MdbTableDef* table, const std::function<void(std::vector<Brut>&)>& ligne)
{
    const size_t nbColonnes = table->num_cols;
    const size_t taillePage = size_t(m_taillePage);
    mdb_rewind_table(table);
    std::vector<MdbField> champs(MDB_MAX_COLS);
    std::vector<Brut> bruts;
    // Rows are on distinct pages of the file: more than this many is a loop.
    const qint64 maxLignes = qint64(m_nbPages) * 1024;
    for (qint64 lues = 0; mdb_fetch_row(table); ++lues) {
        if (lues > maxLignes)
            Endommagee();
        if (table->cur_row == 0 || !mdb_read_pg(m_mdb, table->cur_phys_pg))
            Endommagee();
        int debut = 0;
        size_t taille = 0;
        if (mdb_find_row(m_mdb, int(table->cur_row - 1), &debut, &taille) != 0)
            Endommagee();
        debut &= 0x1FFF;
        if (size_t(debut) + taille > taillePage || taille == 0)
            Endommagee();
        int nb = mdb_crack_row(table, debut, taille, champs.data());
        if (nb <= 0)
            Endommagee();
        // The count comes from the row's bytes: never read past what was filled.
        nb = std::min({nb, int(nbColonnes), int(champs.size())});
        // Copy the fields out: reading long values reuses the page buffers.
        bruts.assign(nbColonnes, Brut{});
        for (int k = 0; k < nb; ++k) {
            const MdbField& f = champs[size_t(k)];
            if (f.colnum < 0 || size_t(f.colnum) >= nbColonnes)
                continue;
            if (f.siz < 0 || (f.siz > 0 && (f.start < 0 || size_t(f.start) + size_t(f.siz) > taillePage)))
                Endommagee();
            Brut& b = bruts[size_t(f.colnum)];
            b.null = f.is_null;
            b.present = true;
            if (f.value && f.siz > 0)
                b.octets = QByteArray(static_cast<const char*>(f.value), f.siz);
        }
        ligne(bruts);
        // Long values read other pages: go back to the row's page.
        if (!mdb_read_pg(m_mdb, table->cur_phys_pg))
            Endommagee();
    }
}

QString Base::Texte(const unsigned char* p, size_t n) const
{
    if (!m_jet4)
        return detail::Decoder(QByteArray(reinterpret_cast<const char*>(p), qsizetype(n)), m_codePage);
    QString s;
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        // Compressed Unicode: one byte per character, a 0x00 switching
        // between one and two bytes per character.
        bool compresse = true;
        size_t i = 2;
        while (i < n) {
            if (p[i] == 0) {
                compresse = !compresse;
                ++i;
            } else if (compresse) {
                s += QChar(p[i]);
                ++i;
            } else if (i + 1 < n) {
                s += QChar(char16_t(p[i] | (p[i + 1] << 8)));
                i += 2;
            } else {
                break;
            }
        }
        return s;
    }
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(p), qsizetype(n / 2));
}

// Long values (memo and OLE): a 12-byte header in the row, the data inline,
// on one page or on a chain of pages.
QByteArray Base::LireLval(const unsigned char* p, size_t n) const
{
    if (n < MDB_MEMO_OVERHEAD)
        Endommagee();
    const quint32 entete = L32(p);
    const quint32 longueur = entete & 0x3FFFFFFF;
    if (entete & 0x80000000u) {
        if (MDB_MEMO_OVERHEAD + size_t(longueur) > n)
            Endommagee();
        return QByteArray(reinterpret_cast<const char*>(p + MDB_MEMO_OVERHEAD), qsizetype(longueur));
    }
    // A value cannot be larger than the file that holds it.
    if (qint64(longueur) > qint64(m_nbPages) * m_taillePage)
        Endommagee();
    quint32 pgRow = L32(p + 4);
    const bool unePage = entete & 0x40000000u;
    QByteArray donnees;
    const size_t taillePage = size_t(m_taillePage);
    for (quint32 tours = 0; pgRow != 0 && qsizetype(donnees.size()) < qsizetype(longueur); ++tours) {
        if (tours > m_nbPages * 256u)
            Endommagee();
        void* buf = nullptr;
        int debut = 0;
        size_t taille = 0;
        if (mdb_find_pg_row(m_mdb, int(pgRow), &buf, &debut, &taille) != 0)
            Endommagee();
        debut &= 0x1FFF;
        if (size_t(debut) + taille > taillePage || taille > taillePage)
            Endommagee();
        const auto* b = static_cast<const unsigned char*>(buf) + debut;
        if (unePage) {
            donnees = QByteArray(reinterpret_cast<const char*>(b), qsizetype(qMin<size_t>(taille, longueur)));
            break;
        }
        if (taille < 4)
            Endommagee();
        pgRow = L32(b);
        donnees.append(reinterpret_cast<const char*>(b + 4), qsizetype(taille - 4));
    }
    if (qsizetype(donnees.size()) < qsizetype(longueur))
        Endommagee();
    donnees.truncate(qsizetype(longueur));
    return donnees;
}

QVariant Base::Decoder(MdbColumn* col, const Brut& brut) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(brut.octets.constData());
    const size_t n = size_t(brut.octets.size());
    if (col->col_type == MDB_BOOL)
        return !brut.null;  // stored in the null bitmap itself
    if (brut.null)
        return QVariant();
    const auto exiger = [&](size_t taille) {
        if (n < taille)
            Endommagee();
    };
    switch (col->col_type) {
    case MDB_BYTE:
        exiger(1);
        return int(p[0]);
    case MDB_INT:
        exiger(2);
        return int(qint16(L16(p)));
    case MDB_LONGINT:
        exiger(4);
        return int(qint32(L32(p)));
    case MDB_MONEY: {
        exiger(8);
        const qint64 v = qint64(quint64(L32(p)) | (quint64(L32(p + 4)) << 32));
        return double(v) / 10000.0;
    }
    case MDB_FLOAT: {
        exiger(4);
        float f;
        const quint32 bits = L32(p);
        std::memcpy(&f, &bits, 4);
        return double(f);
    }
    case MDB_DOUBLE: {
        exiger(8);
        double d;
        const quint64 bits = quint64(L32(p)) | (quint64(L32(p + 4)) << 32);
        std::memcpy(&d, &bits, 8);
        return d;
    }
    case MDB_DATETIME: {
        exiger(8);
        double d;
        const quint64 bits = quint64(L32(p)) | (quint64(L32(p + 4)) << 32);
        std::memcpy(&d, &bits, 8);
        return DateAccess(d);
    }
    case MDB_TEXT:
        return Texte(p, n);
    case MDB_MEMO: {
        const QByteArray d = LireLval(p, n);
        return Texte(reinterpret_cast<const unsigned char*>(d.constData()), size_t(d.size()));
    }
    case MDB_OLE:
        return DeballerOle(LireLval(p, n));
    case MDB_BINARY:
        return brut.octets;
    case MDB_REPID: {
        exiger(16);
        char* s = mdb_uuid_to_string(p, 0);
        const QString t = QString::fromLatin1(s);
        g_free(s);
        return t;
    }
    case MDB_NUMERIC: {
        // Sign byte, then a 128-bit integer in four little-endian words, the
        // most significant first, scaled by the column scale.
        exiger(17);
        long double v = 0;
        for (int mot = 0; mot < 4; ++mot)
            v = v * 4294967296.0L + L32(p + 1 + 4 * mot);
        v /= std::pow(10.0L, col->col_scale);
        return double(p[0] & 0x80 ? -v : v);
    }
    default:
        return QVariant();
    }
}

// The catalogue is the table MSysObjects, whose definition is on page 2.
QList<ObjetCatalogue> Base::Catalogue()
{
    MdbCatalogEntry msys{};
    msys.mdb = m_mdb;
    msys.object_type = MDB_TABLE;
    msys.table_pg = 2;
    std::strcpy(msys.object_name, "MSysObjects");
    MdbTableDef* table = LireDefinition(msys);
    struct Liberer
    {
        MdbTableDef* t;
        ~Liberer() { mdb_free_tabledef(t); }
    } liberer{table};
    const auto colonne = [&](const char* nom) {
        for (guint i = 0; i < table->columns->len; ++i) {
            auto* c = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            if (g_ascii_strcasecmp(c->name, nom) == 0)
                return int(i);
        }
        Endommagee();
    };
    const int id = colonne("Id"), nom = colonne("Name"), type = colonne("Type"), drapeaux = colonne("Flags");
    int proprietes = -1;
    for (guint i = 0; i < table->columns->len; ++i)
        if (g_ascii_strcasecmp(static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i))->name, "LvProp") == 0)
            proprietes = int(i);
    const auto col = [&](int i) { return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, guint(i))); };
    QList<ObjetCatalogue> objets;
    ParcourirLignes(table, [&](std::vector<Brut>& b) {
        // The properties are not used, but damaged ones are a damaged catalogue.
        if (proprietes >= 0) {
            const Brut& bloc = b[size_t(proprietes)];
            if (bloc.present && !bloc.null)
                VerifierProprietes(LireLval(reinterpret_cast<const unsigned char*>(bloc.octets.constData()),
                                            size_t(bloc.octets.size())));
        }
        ObjetCatalogue o;
        o.nom = Decoder(col(nom), b[size_t(nom)]).toString();
        if (o.nom.isEmpty())
            return;
        o.type = Decoder(col(type), b[size_t(type)]).toInt() & 0x7F;
        o.page = (unsigned long)(Decoder(col(id), b[size_t(id)]).toLongLong() & 0x00FFFFFF);
        o.drapeaux = Decoder(col(drapeaux), b[size_t(drapeaux)]).toInt();
        objets.append(o);
    });
    return objets;
}

class TableAccess final : public Dataset
{
public:
    TableAccess(const QString& fichier, const QString& table)
        : Dataset(fichier, NomNu(table))
    {
        Charger();
    }

    void Rafraichir() override
    {
        Dataset::Rafraichir();
        Charger();
    }

protected:
    QList<QVariant> LireEnregistrement(int index) const override { return m_lignes.at(index); }

private:
    void Charger();

    QList<QList<QVariant>> m_lignes;
};

void TableAccess::Charger()
{
    const QString fichier = Fichier();
    Base base(fichier);
    const ObjetCatalogue* objet = nullptr;
    const QList<ObjetCatalogue> catalogue = base.Catalogue();
    for (const auto& o : catalogue) {
        if (o.nom.compare(NomTable(), Qt::CaseInsensitive) != 0)
            continue;
        if (o.type == MDB_TABLE) {
            objet = &o;
            break;
        }
        if (o.type == MDB_QUERY)
            throw ErreurDonnees(tr("« %1 » est une requête de la base %2 : seules les tables "
                                   "peuvent être lues ici").arg(NomTable(), fichier), fichier);
    }
    if (!objet)
        throw ErreurDonnees(tr("La table « %1 » n'existe pas dans la base %2").arg(NomTable(), fichier),
                            fichier);
    MdbCatalogEntry entree{};
    entree.mdb = base.Mdb();
    entree.object_type = MDB_TABLE;
    entree.table_pg = objet->page;
    entree.flags = objet->drapeaux;
    qstrncpy(entree.object_name, objet->nom.toUtf8().constData(), sizeof(entree.object_name));
    MdbTableDef* table = base.LireDefinition(entree);
    struct Liberer
    {
        MdbTableDef* t;
        ~Liberer() { mdb_free_tabledef(t); }
    } liberer{table};

    QList<DefinitionChamp> champs;
    std::vector<MdbColumn*> colonnes;
    for (unsigned i = 0; i < table->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        colonnes.push_back(col);
        DefinitionChamp d;
        d.nom = QString::fromUtf8(col->name);
        d.taille = col->col_size;
        switch (col->col_type) {
        case MDB_BOOL: d.type = TypeChamp::Booleen; break;
        case MDB_BYTE: d.type = TypeChamp::Mot; break;
        case MDB_INT: d.type = TypeChamp::PetitEntier; break;
        case MDB_LONGINT: d.type = col->is_long_auto ? TypeChamp::AutoIncrement : TypeChamp::Entier; break;
        case MDB_MONEY: d.type = TypeChamp::Monnaie; break;
        case MDB_FLOAT: case MDB_DOUBLE: d.type = TypeChamp::Flottant; break;
        case MDB_DATETIME: d.type = TypeChamp::DateHeure; break;
        case MDB_BINARY: d.type = TypeChamp::Binaire; break;
        case MDB_TEXT:
            d.type = TypeChamp::ChaineLarge;
            d.taille = base.Jet4() ? col->col_size / 2 : col->col_size;
            break;
        case MDB_OLE: d.type = TypeChamp::Binaire; break;
        case MDB_MEMO: d.type = TypeChamp::Memo; break;
        case MDB_REPID: d.type = TypeChamp::Chaine; d.taille = 38; break;
        case MDB_NUMERIC:
            d.type = TypeChamp::BCD;
            d.taille = col->col_prec;
            d.decimales = col->col_scale;
            break;
        default: d.type = TypeChamp::Inconnu; break;
        }
        champs.append(d);
    }

    // Rows are read once, whole: label runs go back and forth over them.
    m_lignes.clear();
    base.ParcourirLignes(table, [&](std::vector<Brut>& bruts) {
        QList<QVariant> ligne(champs.size());
        for (size_t c = 0; c < colonnes.size(); ++c)
            if (bruts[c].present)
                ligne[qsizetype(c)] = base.Decoder(colonnes[c], bruts[c]);
        m_lignes.append(ligne);
    });
    Initialiser(champs, int(m_lignes.size()));
    DefinirModifiable(false, tr("les bases Access sont ouvertes en lecture seule"));
}

} // namespace

std::unique_ptr<Dataset> OuvrirAccess(const QString& fichier, const QString& table, const OptionsOuverture&)
{
    return std::make_unique<TableAccess>(fichier, table);
}

QList<ObjetSource> ListerAccess(const QString& fichier, const OptionsOuverture&)
{
    Base base(fichier);
    QList<ObjetSource> liste;
    for (const auto& o : base.Catalogue()) {
        MdbCatalogEntry entree{};
        entree.object_type = o.type;
        entree.flags = o.drapeaux;
        if (o.type == MDB_TABLE && !mdb_is_system_table(&entree))
            liste.append(ObjetSource{o.nom, false});
        else if (o.type == MDB_QUERY && !o.nom.startsWith(QLatin1Char('~')))
            liste.append(ObjetSource{o.nom, true});
    }
    return liste;
}

} // namespace vl::data::detail
