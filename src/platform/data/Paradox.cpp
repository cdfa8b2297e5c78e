// Paradox tables. pxlib gives the header and the record bytes; the fields are
// decoded here (its own retrieval turns NULLs into values), text with the
// table's DOS code page, and memos and blobs are read from the .MB file by
// our own small reader.
#include "data/Pilotes.h"

extern "C" {
#include <paradox.h>
}

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>

namespace vl::data::detail {

namespace {

constexpr qint64 JourJulienAn1 = 1721425;  // Julian day before 0001-01-01

quint16 B16(const unsigned char* p) { return quint16((p[0] << 8) | p[1]); }
quint32 B32(const unsigned char* p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}
quint64 B64(const unsigned char* p) { return (quint64(B32(p)) << 32) | B32(p + 4); }
quint16 L16(const unsigned char* p) { return quint16(p[0] | (p[1] << 8)); }
quint32 L32(const unsigned char* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

bool ToutZero(const unsigned char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

// Paradox numbers are big-endian with the sign bit flipped, so that they sort
// as bytes; negative doubles have every bit inverted.
double DoubleParadox(const unsigned char* p)
{
    quint64 bits = B64(p);
    if (bits & 0x8000000000000000ull)
        bits &= ~0x8000000000000000ull;
    else
        bits = ~bits;
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

void EcrireDoubleParadox(unsigned char* p, double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, 8);
    if (bits & 0x8000000000000000ull)
        bits = ~bits;
    else
        bits |= 0x8000000000000000ull;
    for (int i = 0; i < 8; ++i)
        p[i] = (unsigned char)((bits >> (56 - 8 * i)) & 0xFF);
}

void EcrireEntierParadox(unsigned char* p, qint64 v, int n)
{
    const quint64 bits = quint64(v) ^ (quint64(1) << (8 * n - 1));
    for (int i = 0; i < n; ++i)
        p[i] = (unsigned char)((bits >> (8 * (n - 1 - i))) & 0xFF);
}

// pxlib follows the chain of data blocks without checking it: a damaged
// next-block number sends it seeking through garbage, and a loop in the chain
// never ends. It reads through this stream, which refuses any seek outside
// the file and, while the table is being opened, more seeks than a sound
// chain can need.
struct FluxBorne
{
    FILE* fichier = nullptr;
    qint64 taille = 0;
    qint64 seeksPermis = -1;  // negative: no limit
};

ssize_t LireFlux(void* cookie, char* tampon, size_t n)
{
    return ssize_t(std::fread(tampon, 1, n, static_cast<FluxBorne*>(cookie)->fichier));
}

int DeplacerFlux(void* cookie, off64_t* position, int origine)
{
    auto* f = static_cast<FluxBorne*>(cookie);
    if (f->seeksPermis == 0)
        return -1;
    if (f->seeksPermis > 0)
        --f->seeksPermis;
    const qint64 depuis = origine == SEEK_SET ? 0
        : origine == SEEK_END                ? f->taille
                                             : qint64(std::ftell(f->fichier));
    const qint64 cible = depuis + qint64(*position);
    if (cible < 0 || cible > f->taille || std::fseek(f->fichier, long(cible), SEEK_SET) != 0)
        return -1;
    *position = cible;
    return 0;
}

int FermerFlux(void* cookie)
{
    auto* f = static_cast<FluxBorne*>(cookie);
    const int r = std::fclose(f->fichier);
    delete f;
    return r;
}

// Opens a read-only stream over the table; *flux stays valid until fclose.
FILE* OuvrirFluxBorne(const QString& chemin, FluxBorne** flux)
{
    FILE* brut = std::fopen(QFile::encodeName(chemin).constData(), "rb");
    if (!brut)
        return nullptr;
    auto* f = new FluxBorne{brut, QFileInfo(chemin).size(), -1};
    cookie_io_functions_t fonctions{LireFlux, nullptr, DeplacerFlux, FermerFlux};
    FILE* fp = fopencookie(f, "rb", fonctions);
    if (!fp) {
        std::fclose(brut);
        delete f;
        return nullptr;
    }
    *flux = f;
    return fp;
}

void Demarrer()
{
    static std::once_flag fait;
    std::call_once(fait, [] { PX_boot(); });
}

struct ChampPx
{
    DefinitionChamp def;
    int type = 0;
    int offset = 0;
    int longueur = 0;
};

class TableParadox final : public Dataset
{
public:
    explicit TableParadox(const QString& chemin)
        : Dataset(chemin, QFileInfo(chemin).fileName())
    {
        Charger();
    }
    ~TableParadox() override { Fermer(); }

    void Rafraichir() override
    {
        Dataset::Rafraichir();
        Fermer();
        Charger();
    }

protected:
    QList<QVariant> LireEnregistrement(int index) const override;
    QVariant VerifierValeur(int champ, const QVariant& valeur) const override;
    void EcrireEnregistrement(int index, const QHash<int, QVariant>& valeurs) override;

private:
    void Charger();
    void ChargerFichier();
    void Fermer();
    void OuvrirPxlib();
    [[noreturn]] void Erreur(const QString& message) const { throw ErreurDonnees(message, Fichier()); }
    QString Endommage() const
    {
        return tr("Le fichier Paradox %1 est endommagé ou tronqué").arg(Fichier());
    }
    QVariant LireBlob(const ChampPx& c, const unsigned char* p) const;
    void Encoder(const ChampPx& c, const QVariant& valeur, unsigned char* p) const;
    qint64 PositionEnregistrement(int index) const;

    pxdoc_t* m_px = nullptr;
    FILE* m_fp = nullptr;
    QList<ChampPx> m_px_champs;
    int m_tailleEnregistrement = 0;
    qint64 m_blocs = 0;  // data blocks the file can hold
    int m_codePage = 850;
    QString m_cheminBlob;
    mutable QByteArray m_blob;
    mutable bool m_blobLu = false;
};

void TableParadox::Fermer()
{
    if (m_px) {
        PX_close(m_px);
        PX_delete(m_px);
        m_px = nullptr;
    }
    if (m_fp) {
        std::fclose(m_fp);
        m_fp = nullptr;
    }
}

// A table refused after pxlib opened it must not keep its stream and
// document: the constructor that throws runs no destructor.
void TableParadox::Charger()
{
    try {
        ChargerFichier();
    } catch (...) {
        Fermer();
        throw;
    }
}

void TableParadox::ChargerFichier()
{
    Demarrer();
    const QString chemin = Fichier();
    if (!QFileInfo::exists(chemin))
        Erreur(tr("Le fichier %1 n'existe pas").arg(chemin));
    QFile verif(chemin);
    if (!verif.open(QIODevice::ReadOnly))
        Erreur(tr("Impossible d'ouvrir le fichier %1 : %2").arg(chemin, verif.errorString()));
    const QByteArray entete = verif.read(0x80);
    const qint64 tailleFichier = verif.size();
    verif.close();
    // pxlib trusts the header blindly: check what it will rely on.
    if (entete.size() < 0x60)
        Erreur(Endommage());
    const auto* e = reinterpret_cast<const unsigned char*>(entete.constData());
    const int tailleEnr = L16(e);
    const int tailleEntete = L16(e + 2);
    const int typeFichier = e[4];
    const int tailleBloc = e[5] * 1024;
    const qint64 nombre = L32(e + 6);
    if (tailleEnr <= 0 || tailleEntete < 0x58 || tailleEntete > tailleFichier
        || (typeFichier != pxfFileTypIndexDB && typeFichier != pxfFileTypNonIndexDB)
        || tailleBloc <= 0 || nombre < 0
        || (nombre > 0 && tailleFichier < tailleEntete + tailleBloc))
        Erreur(tr("Le fichier %1 n'est pas une table Paradox lisible").arg(chemin));
    const qint64 blocs = (tailleFichier - tailleEntete) / tailleBloc;
    const qint64 parBloc = (tailleBloc - 6) / tailleEnr;
    if (nombre > blocs * parBloc)
        Erreur(Endommage());

    m_blocs = blocs;
    OuvrirPxlib();
    pxhead_t* h = m_px->px_head;
    if (!h || h->px_numfields <= 0 || h->px_recordsize != tailleEnr)
        Erreur(Endommage());
    m_tailleEnregistrement = h->px_recordsize;
    m_codePage = h->px_doscodepage > 0 ? h->px_doscodepage : 850;

    m_px_champs.clear();
    int offset = 0;
    bool blobs = false, nonModifiables = false;
    for (int i = 0; i < h->px_numfields; ++i) {
        const pxfield_t& f = h->px_fields[i];
        ChampPx c;
        c.def.nom = Decoder(QByteArray(f.px_fname ? f.px_fname : ""), m_codePage);
        c.type = (unsigned char)f.px_ftype;
        c.longueur = f.px_flen;
        c.offset = offset;
        c.def.taille = f.px_flen;
        c.def.decimales = f.px_fdc;
        offset += f.px_flen;
        switch (c.type) {
        case pxfAlpha: c.def.type = TypeChamp::Chaine; break;
        case pxfDate: c.def.type = TypeChamp::Date; break;
        case pxfShort: c.def.type = TypeChamp::PetitEntier; break;
        case pxfLong: c.def.type = TypeChamp::Entier; break;
        case pxfAutoInc: c.def.type = TypeChamp::AutoIncrement; break;
        case pxfCurrency: c.def.type = TypeChamp::Monnaie; break;
        case pxfNumber: c.def.type = TypeChamp::Flottant; break;
        case pxfLogical: c.def.type = TypeChamp::Booleen; break;
        case pxfTime: c.def.type = TypeChamp::Heure; break;
        case pxfTimestamp: c.def.type = TypeChamp::DateHeure; break;
        case pxfBCD: c.def.type = TypeChamp::BCD; break;
        case pxfBytes: c.def.type = TypeChamp::Binaire; nonModifiables = true; break;
        case pxfMemoBLOb: c.def.type = TypeChamp::Memo; blobs = true; break;
        case pxfFmtMemoBLOb: c.def.type = TypeChamp::MemoFormate; blobs = true; break;
        case pxfBLOb: c.def.type = TypeChamp::Binaire; blobs = nonModifiables = true; break;
        case pxfOLE: c.def.type = TypeChamp::OleParadox; blobs = nonModifiables = true; break;
        case pxfGraphic: c.def.type = TypeChamp::Graphique; blobs = nonModifiables = true; break;
        default: c.def.type = TypeChamp::Inconnu; break;
        }
        if (c.longueur <= 0 || (blobs && (c.type == pxfMemoBLOb || c.type == pxfBLOb || c.type == pxfOLE
                                           || c.type == pxfGraphic || c.type == pxfFmtMemoBLOb)
                                && c.longueur < 10))
            Erreur(Endommage());
        m_px_champs.append(c);
    }
    if (offset != m_tailleEnregistrement)
        Erreur(Endommage());

    m_cheminBlob.clear();
    m_blob.clear();
    m_blobLu = false;
    if (blobs) {
        const QFileInfo info(chemin);
        const QString voulu = info.completeBaseName() + QStringLiteral(".mb");
        const auto noms = info.absoluteDir().entryList(QDir::Files);
        for (const auto& n : noms)
            if (n.compare(voulu, Qt::CaseInsensitive) == 0)
                m_cheminBlob = info.absoluteDir().filePath(n);
    }

    QList<DefinitionChamp> defs;
    for (const auto& c : m_px_champs)
        defs.append(c.def);
    Initialiser(defs, int(h->px_numrecords));
    if (h->px_encryption != 0)
        DefinirModifiable(false, tr("la table %1 est protégée par un mot de passe").arg(chemin));
    else if (nonModifiables)
        DefinirModifiable(false, tr("la table %1 contient des champs graphiques, binaires ou OLE")
                                     .arg(chemin));
    else
        DefinirModifiable(QFileInfo(chemin).isWritable(),
                          tr("le fichier %1 est protégé en écriture").arg(chemin));
}

QVariant TableParadox::LireBlob(const ChampPx& c, const unsigned char* p) const
{
    const int tete = c.longueur - 10;
    const quint32 adresse = L32(p + tete);
    const quint32 longueur = L32(p + tete + 4);
    if (longueur == 0)
        return QVariant();
    QByteArray octets;
    if (adresse == 0 && longueur <= quint32(tete)) {
        // Short memos live in the record itself.
        octets = QByteArray(reinterpret_cast<const char*>(p), qsizetype(longueur));
    } else {
        if (m_cheminBlob.isEmpty())
            throw ErreurDonnees(tr("Le fichier des mémos de la table %1 est introuvable").arg(Fichier()),
                                Fichier());
        if (!m_blobLu) {
            QFile f(m_cheminBlob);
            if (!f.open(QIODevice::ReadOnly))
                throw ErreurDonnees(tr("Impossible d'ouvrir le fichier %1 : %2")
                                        .arg(m_cheminBlob, f.errorString()), m_cheminBlob);
            m_blob = f.readAll();
            m_blobLu = true;
        }
        const auto endommage = [this]() {
            throw ErreurDonnees(tr("Le fichier des mémos %1 est endommagé ou tronqué").arg(m_cheminBlob),
                                m_cheminBlob);
        };
        const qint64 bloc = adresse & 0xFFFFFF00u;
        const int indice = int(adresse & 0xFF);
        const auto* mb = reinterpret_cast<const unsigned char*>(m_blob.constData());
        const qint64 taille = m_blob.size();
        qint64 debut = 0;
        if (bloc + 12 > taille)
            endommage();
        if (indice == 0xFF) {
            // A block of its own: 9-byte header, then the data.
            if (mb[bloc] != 2)
                endommage();
            debut = bloc + 9;
        } else {
            // A suballocated block: a table of 64 five-byte entries, each giving
            // the data offset in 16-byte units.
            if (mb[bloc] != 3 || indice >= 64 || bloc + 12 + 5 * 64 > taille)
                endommage();
            const unsigned char* entree = mb + bloc + 12 + 5 * indice;
            if (entree[0] == 0)
                endommage();
            debut = bloc + qint64(entree[0]) * 16;
        }
        if (debut + qint64(longueur) > taille)
            endommage();
        octets = m_blob.mid(qsizetype(debut), qsizetype(longueur));
    }
    if (c.type == pxfMemoBLOb || c.type == pxfFmtMemoBLOb) {
        while (!octets.isEmpty() && octets.endsWith('\0'))
            octets.chop(1);
        return Decoder(octets, m_codePage);
    }
    if (c.type == pxfGraphic && octets.size() > 8)
        octets.remove(0, 8);  // graphic data carries an 8-byte prefix
    return octets;
}

QList<QVariant> TableParadox::LireEnregistrement(int index) const
{
    QByteArray tampon(m_tailleEnregistrement, '\0');
    if (!m_px)
        Erreur(Endommage());
    if (!PX_get_record(m_px, index, tampon.data()))
        Erreur(Endommage());
    const auto* rec = reinterpret_cast<const unsigned char*>(tampon.constData());
    QList<QVariant> valeurs;
    for (const auto& c : m_px_champs) {
        const unsigned char* p = rec + c.offset;
        const bool vide = ToutZero(p, c.longueur);
        switch (c.type) {
        case pxfAlpha: {
            if (vide) {
                valeurs.append(QVariant());
                break;
            }
            int n = 0;
            while (n < c.longueur && p[n])
                ++n;
            valeurs.append(Decoder(QByteArray(reinterpret_cast<const char*>(p), n), m_codePage));
            break;
        }
        case pxfShort:
            valeurs.append(vide ? QVariant() : QVariant(int(qint16(B16(p) ^ 0x8000))));
            break;
        case pxfLong: case pxfAutoInc:
            valeurs.append(vide ? QVariant() : QVariant(int(qint32(B32(p) ^ 0x80000000u))));
            break;
        case pxfNumber: case pxfCurrency:
            valeurs.append(vide ? QVariant() : QVariant(DoubleParadox(p)));
            break;
        case pxfDate: {
            if (vide) {
                valeurs.append(QVariant());
                break;
            }
            const qint32 jours = qint32(B32(p) ^ 0x80000000u);
            valeurs.append(QDate::fromJulianDay(jours + JourJulienAn1));
            break;
        }
        case pxfTime: {
            if (vide) {
                valeurs.append(QVariant());
                break;
            }
            const qint32 ms = qint32(B32(p) ^ 0x80000000u);
            valeurs.append(ms >= 0 && ms < 86400000 ? QVariant(QTime::fromMSecsSinceStartOfDay(ms))
                                                     : QVariant());
            break;
        }
        case pxfTimestamp: {
            if (vide) {
                valeurs.append(QVariant());
                break;
            }
            const double ms = DoubleParadox(p);
            if (!std::isfinite(ms) || ms < 0 || ms > 4e14) {
                valeurs.append(QVariant());
                break;
            }
            const qint64 total = qint64(std::llround(ms));
            const qint64 jours = total / 86400000;
            valeurs.append(QDateTime(QDate::fromJulianDay(jours + JourJulienAn1),
                                     QTime::fromMSecsSinceStartOfDay(int(total % 86400000)), Qt::UTC));
            break;
        }
        case pxfLogical:
            valeurs.append(vide ? QVariant() : QVariant(bool(p[0] & 0x7F)));
            break;
        case pxfBCD: {
            if (vide) {
                valeurs.append(QVariant());
                break;
            }
            char* texte = nullptr;
            QByteArray copie(reinterpret_cast<const char*>(p), c.longueur);
            if (PX_get_data_bcd(m_px, reinterpret_cast<unsigned char*>(copie.data()), c.def.decimales,
                                &texte) > 0 && texte) {
                bool ok = false;
                const double v = QByteArray(texte).replace(',', '.').toDouble(&ok);
                m_px->free(m_px, texte);
                valeurs.append(ok ? QVariant(v) : QVariant());
            } else {
                valeurs.append(QVariant());
            }
            break;
        }
        case pxfBytes:
            valeurs.append(vide ? QVariant() : QVariant(QByteArray(reinterpret_cast<const char*>(p), c.longueur)));
            break;
        case pxfMemoBLOb: case pxfFmtMemoBLOb: case pxfBLOb: case pxfOLE: case pxfGraphic:
            valeurs.append(vide ? QVariant() : LireBlob(c, p));
            break;
        default:
            valeurs.append(QVariant());
        }
    }
    return valeurs;
}

void TableParadox::Encoder(const ChampPx& c, const QVariant& valeur, unsigned char* p) const
{
    const auto refus = [&](const QString& raison) {
        Erreur(tr("Valeur refusée pour le champ %1 de %2 : %3").arg(c.def.nom, Fichier(), raison));
    };
    const bool null = !valeur.isValid() || valeur.isNull();
    std::memset(p, 0, size_t(c.longueur));
    if (null)
        return;
    const auto nombre = [&]() {
        bool ok = false;
        double v;
        if (valeur.typeId() == QMetaType::QString)
            v = valeur.toString().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        else
            v = valeur.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            refus(tr("« %1 » n'est pas un nombre").arg(valeur.toString()));
        return v;
    };
    switch (c.type) {
    case pxfAlpha: {
        QByteArray octets;
        if (!detail::Encoder(valeur.toString(), m_codePage, octets))
            refus(tr("un caractère de « %1 » n'existe pas dans la page de code du fichier")
                      .arg(valeur.toString()));
        if (octets.size() > c.longueur)
            refus(tr("« %1 » dépasse la longueur du champ (%2 caractères)")
                      .arg(valeur.toString()).arg(c.longueur));
        std::memcpy(p, octets.constData(), size_t(octets.size()));
        return;
    }
    case pxfShort: case pxfLong: {
        const double v = nombre();
        const double limite = c.type == pxfShort ? 32767 : 2147483647;
        if (v != std::floor(v) || v > limite || v < -limite)
            refus(tr("%1 n'est pas un entier admis par le champ").arg(valeur.toString()));
        EcrireEntierParadox(p, qint64(v), c.type == pxfShort ? 2 : 4);
        return;
    }
    case pxfNumber: case pxfCurrency:
        EcrireDoubleParadox(p, nombre());
        return;
    case pxfDate: {
        QDate d = valeur.toDate();
        if (!d.isValid() && valeur.typeId() == QMetaType::QString)
            d = QDate::fromString(valeur.toString().trimmed(), QStringLiteral("dd/MM/yyyy"));
        if (!d.isValid() || d.year() < 1)
            refus(tr("« %1 » n'est pas une date").arg(valeur.toString()));
        EcrireEntierParadox(p, d.toJulianDay() - JourJulienAn1, 4);
        return;
    }
    case pxfTime: {
        const QTime t = valeur.toTime();
        if (!t.isValid())
            refus(tr("« %1 » n'est pas une heure").arg(valeur.toString()));
        EcrireEntierParadox(p, t.msecsSinceStartOfDay(), 4);
        return;
    }
    case pxfTimestamp: {
        const QDateTime dt = valeur.toDateTime();
        if (!dt.isValid() || dt.date().year() < 1)
            refus(tr("« %1 » n'est pas une date et heure").arg(valeur.toString()));
        EcrireDoubleParadox(p, double(dt.date().toJulianDay() - JourJulienAn1) * 86400000.0
                                   + dt.time().msecsSinceStartOfDay());
        return;
    }
    case pxfLogical:
        p[0] = valeur.toBool() ? 0x81 : 0x80;
        return;
    default:
        refus(tr("ce type de champ ne peut pas être modifié ici"));
    }
}

QVariant TableParadox::VerifierValeur(int champ, const QVariant& valeur) const
{
    const ChampPx& c = m_px_champs.at(champ);
    QByteArray essai(c.longueur, '\0');
    Encoder(c, valeur, reinterpret_cast<unsigned char*>(essai.data()));
    return valeur;
}

// Data blocks form a chain from the header's first block; each starts with
// next, previous and the offset of its last record.
qint64 TableParadox::PositionEnregistrement(int index) const
{
    QFile f(Fichier());
    if (!f.open(QIODevice::ReadOnly))
        Erreur(tr("Impossible d'ouvrir le fichier %1 : %2").arg(Fichier(), f.errorString()));
    const QByteArray entete = f.read(0x20);
    const auto* e = reinterpret_cast<const unsigned char*>(entete.constData());
    const int tailleEntete = L16(e + 2);
    const int tailleBloc = e[5] * 1024;
    int bloc = L16(e + 0x0E);
    int reste = index;
    for (int tours = 0; bloc > 0 && tours < 65536; ++tours) {
        const qint64 pos = tailleEntete + qint64(bloc - 1) * tailleBloc;
        if (!f.seek(pos))
            break;
        const QByteArray b = f.read(6);
        if (b.size() < 6)
            break;
        const auto* t = reinterpret_cast<const unsigned char*>(b.constData());
        const int suivant = L16(t);
        const int dernier = qint16(L16(t + 4));
        const int dansBloc = dernier / m_tailleEnregistrement + 1;
        if (reste < dansBloc)
            return pos + 6 + qint64(reste) * m_tailleEnregistrement;
        reste -= dansBloc;
        bloc = suivant;
    }
    Erreur(Endommage());
}

void TableParadox::EcrireEnregistrement(int index, const QHash<int, QVariant>& valeurs)
{
    const qint64 pos = PositionEnregistrement(index);
    QFile f(Fichier());
    if (!f.open(QIODevice::ReadWrite))
        Erreur(tr("Impossible d'écrire dans le fichier %1 : %2").arg(Fichier(), f.errorString()));
    if (!f.seek(pos))
        Erreur(Endommage());
    QByteArray rec = f.read(m_tailleEnregistrement);
    if (rec.size() != m_tailleEnregistrement)
        Erreur(Endommage());
    for (auto it = valeurs.constBegin(); it != valeurs.constEnd(); ++it) {
        const ChampPx& c = m_px_champs.at(it.key());
        Encoder(c, it.value(), reinterpret_cast<unsigned char*>(rec.data()) + c.offset);
    }
    if (!f.seek(pos) || f.write(rec) != rec.size())
        Erreur(tr("Impossible d'écrire dans le fichier %1 : %2").arg(Fichier(), f.errorString()));
    f.close();
    // pxlib may keep blocks in its stream buffer: reopen it.
    Fermer();
    OuvrirPxlib();
}

// pxlib's own open asks for write access: it gets our read-only stream.
// Opening reads the header and every block head once (twice at most for
// blocks it counts again), each read costing pxlib a few seeks.
void TableParadox::OuvrirPxlib()
{
    FluxBorne* flux = nullptr;
    m_fp = OuvrirFluxBorne(Fichier(), &flux);
    if (!m_fp)
        Erreur(tr("Impossible d'ouvrir le fichier %1").arg(Fichier()));
    flux->seeksPermis = 1000 + 8 * m_blocs;
    m_px = PX_new();
    if (!m_px || PX_open_fp(m_px, m_fp) < 0) {
        // When reading a block head fails, pxlib frees its block index but
        // keeps the pointer, which PX_delete would free again.
        if (m_px) {
            m_px->px_indexdata = nullptr;
            m_px->px_indexdatalen = 0;
        }
        Fermer();
        Erreur(Endommage());
    }
    flux->seeksPermis = -1;
}

} // namespace

std::unique_ptr<Dataset> OuvrirParadox(const QString& chemin)
{
    return std::make_unique<TableParadox>(chemin);
}

QList<ObjetSource> ListerParadox(const QString& dossier)
{
    return ListerFichiers(dossier, QStringLiteral(".db"));
}

} // namespace vl::data::detail
