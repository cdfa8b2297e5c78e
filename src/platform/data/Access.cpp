// Access databases (.mdb Jet 3 / Jet 4, .accdb) read through libmdb.
// libmdb walks the pages and rows; the values are decoded here from their
// raw bytes, so that neither the process locale nor libmdb's text
// conversions (with their fixed-size buffers) can alter them.
#include <algorithm>
#include "data/Pilotes.h"

#include <glib.h>
#include <mdbtools.h>

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <cmath>
#include <cstring>

namespace vl::data::detail {

namespace {

quint16 L16(const unsigned char* p) { return quint16(p[0] | (p[1] << 8)); }
quint32 L32(const unsigned char* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

struct Base
{
    MdbHandle* mdb = nullptr;
    ~Base()
    {
        if (mdb)
            mdb_close(mdb);
    }
};

QString Endommagee(const QString& fichier)
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
        throw ErreurDonnees(Endommagee(fichier), fichier);
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

void OuvrirBase(Base& base, const QString& fichier)
{
    VerifierFichier(fichier);
    base.mdb = mdb_open(QFile::encodeName(fichier).constData(), MDB_NOFLAGS);
    if (!base.mdb)
        throw ErreurDonnees(Endommagee(fichier), fichier);
    if (!mdb_read_catalog(base.mdb, MDB_ANY))
        throw ErreurDonnees(Endommagee(fichier), fichier);
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
    QString Texte(const unsigned char* p, size_t n) const;
    QByteArray LireLval(const unsigned char* p, size_t n) const;
    QVariant Decoder(MdbColumn* col, const MdbField& champ) const;

    MdbHandle* m_mdb = nullptr;
    bool m_jet4 = true;
    int m_codePage = 1252;
    QList<QList<QVariant>> m_lignes;
};

QString TableAccess::Texte(const unsigned char* p, size_t n) const
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
QByteArray TableAccess::LireLval(const unsigned char* p, size_t n) const
{
    const QString fichier = Fichier();
    if (n < MDB_MEMO_OVERHEAD)
        throw ErreurDonnees(Endommagee(fichier), fichier);
    const quint32 entete = L32(p);
    const quint32 longueur = entete & 0x3FFFFFFF;
    if (entete & 0x80000000u) {
        if (MDB_MEMO_OVERHEAD + size_t(longueur) > n)
            throw ErreurDonnees(Endommagee(fichier), fichier);
        return QByteArray(reinterpret_cast<const char*>(p + MDB_MEMO_OVERHEAD), qsizetype(longueur));
    }
    quint32 pgRow = L32(p + 4);
    const bool unePage = entete & 0x40000000u;
    QByteArray donnees;
    const size_t taillePage = size_t(m_mdb->fmt->pg_size);
    for (int tours = 0; pgRow != 0 && qsizetype(donnees.size()) < qsizetype(longueur); ++tours) {
        if (tours > 1000000)
            throw ErreurDonnees(Endommagee(fichier), fichier);
        void* buf = nullptr;
        int debut = 0;
        size_t taille = 0;
        if (mdb_find_pg_row(m_mdb, int(pgRow), &buf, &debut, &taille) != 0)
            throw ErreurDonnees(Endommagee(fichier), fichier);
        debut &= 0x1FFF;
        if (size_t(debut) + taille > taillePage || taille > taillePage)
            throw ErreurDonnees(Endommagee(fichier), fichier);
        const auto* b = static_cast<const unsigned char*>(buf) + debut;
        if (unePage) {
            donnees = QByteArray(reinterpret_cast<const char*>(b), qsizetype(qMin<size_t>(taille, longueur)));
            break;
        }
        if (taille < 4)
            throw ErreurDonnees(Endommagee(fichier), fichier);
        pgRow = L32(b);
        donnees.append(reinterpret_cast<const char*>(b + 4), qsizetype(taille - 4));
    }
    if (qsizetype(donnees.size()) < qsizetype(longueur))
        throw ErreurDonnees(Endommagee(fichier), fichier);
    donnees.truncate(qsizetype(longueur));
    return donnees;
}

QVariant TableAccess::Decoder(MdbColumn* col, const MdbField& champ) const
{
    const auto* p = static_cast<const unsigned char*>(champ.value);
    const size_t n = size_t(qMax(0, champ.siz));
    if (col->col_type == MDB_BOOL)
        return !champ.is_null;  // stored in the null bitmap itself
    if (champ.is_null)
        return QVariant();
    const auto exiger = [&](size_t taille) {
        if (n < taille || !p)
            throw ErreurDonnees(Endommagee(Fichier()), Fichier());
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
        return QByteArray(reinterpret_cast<const char*>(p), qsizetype(n));
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

void TableAccess::Charger()
{
    const QString fichier = Fichier();
    Base base;
    OuvrirBase(base, fichier);
    m_mdb = base.mdb;
    m_jet4 = m_mdb->f->jet_version != MDB_VER_JET3;
    m_codePage = m_mdb->f->code_page ? m_mdb->f->code_page : 1252;
    MdbCatalogEntry* entree = nullptr;
    for (guint i = 0; i < m_mdb->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, i));
        if (QString::fromUtf8(e->object_name).compare(NomTable(), Qt::CaseInsensitive) != 0)
            continue;
        if (e->object_type == MDB_TABLE) {
            entree = e;
            break;
        }
        if (e->object_type == MDB_QUERY)
            throw ErreurDonnees(tr("« %1 » est une requête de la base %2 : seules les tables "
                                   "peuvent être lues ici").arg(NomTable(), fichier), fichier);
    }
    if (!entree)
        throw ErreurDonnees(tr("La table « %1 » n'existe pas dans la base %2").arg(NomTable(), fichier),
                            fichier);
    MdbTableDef* table = mdb_read_table(entree);
    if (!table)
        throw ErreurDonnees(Endommagee(fichier), fichier);
    struct Liberer
    {
        MdbTableDef* t;
        ~Liberer() { mdb_free_tabledef(t); }
    } liberer{table};
    if (!mdb_read_columns(table) || table->num_cols == 0 || table->num_cols > MDB_MAX_COLS)
        throw ErreurDonnees(Endommagee(fichier), fichier);

    QList<DefinitionChamp> champs;
    for (unsigned i = 0; i < table->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
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
            d.taille = m_jet4 ? col->col_size / 2 : col->col_size;
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
    mdb_rewind_table(table);
    // libmdb cracks a row into at most the table's column count of fields;
    // a damaged catalogue claiming more columns than it can hold is refused.
    if (table->num_cols > MDB_MAX_COLS)
        throw ErreurDonnees(Endommagee(fichier), fichier);
    std::vector<MdbField> champsBruts(MDB_MAX_COLS);
    const unsigned maxLignes = 10000000;
    while (mdb_fetch_row(table)) {
        if (m_lignes.size() > qsizetype(maxLignes))
            throw ErreurDonnees(Endommagee(fichier), fichier);
        if (table->cur_row == 0 || !mdb_read_pg(m_mdb, table->cur_phys_pg))
            throw ErreurDonnees(Endommagee(fichier), fichier);
        int debut = 0;
        size_t taille = 0;
        if (mdb_find_row(m_mdb, int(table->cur_row - 1), &debut, &taille) != 0)
            throw ErreurDonnees(Endommagee(fichier), fichier);
        debut &= 0x1FFF;
        if (size_t(debut) + taille > size_t(m_mdb->fmt->pg_size) || taille == 0)
            throw ErreurDonnees(Endommagee(fichier), fichier);
        int nb = mdb_crack_row(table, debut, taille, champsBruts.data());
        if (nb <= 0)
            throw ErreurDonnees(Endommagee(fichier), fichier);
        // The count comes from the row's bytes: never read past what was filled.
        nb = std::min({nb, int(table->num_cols), int(champsBruts.size())});
        QList<QVariant> ligne(champs.size());
        // Copy the fields out: reading long values reuses the page buffers.
        struct Brut
        {
            QByteArray octets;
            bool null;
            bool present;
        };
        std::vector<Brut> bruts(champs.size(), Brut{{}, true, false});
        for (int k = 0; k < nb; ++k) {
            const MdbField& f = champsBruts[size_t(k)];
            if (f.colnum < 0 || f.colnum >= champs.size())
                continue;
            if (f.siz < 0 || (f.siz > 0 && (f.start < 0 || size_t(f.start) + size_t(f.siz) > size_t(m_mdb->fmt->pg_size))))
                throw ErreurDonnees(Endommagee(fichier), fichier);
            Brut& b = bruts[size_t(f.colnum)];
            b.null = f.is_null;
            b.present = true;
            if (f.value && f.siz > 0)
                b.octets = QByteArray(static_cast<const char*>(f.value), f.siz);
        }
        for (qsizetype c = 0; c < champs.size(); ++c) {
            const Brut& b = bruts[size_t(c)];
            if (!b.present)
                continue;
            MdbField f{};
            f.value = const_cast<char*>(b.octets.constData());
            f.siz = int(b.octets.size());
            f.is_null = b.null;
            ligne[c] = Decoder(static_cast<MdbColumn*>(g_ptr_array_index(table->columns, guint(c))), f);
        }
        m_lignes.append(ligne);
        // Long values read other pages: go back to the row's page.
        if (!mdb_read_pg(m_mdb, table->cur_phys_pg))
            throw ErreurDonnees(Endommagee(fichier), fichier);
    }
    m_mdb = nullptr;
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
    Base base;
    OuvrirBase(base, fichier);
    QList<ObjetSource> liste;
    for (guint i = 0; i < base.mdb->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(base.mdb->catalog, i));
        const QString nom = QString::fromUtf8(e->object_name);
        if (e->object_type == MDB_TABLE && !mdb_is_system_table(e))
            liste.append(ObjetSource{nom, false});
        else if (e->object_type == MDB_QUERY && !nom.startsWith(QLatin1Char('~')))
            liste.append(ObjetSource{nom, true});
    }
    return liste;
}

} // namespace vl::data::detail
