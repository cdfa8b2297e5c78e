// dBase III/IV/5 and FoxPro / Visual FoxPro tables, read and written by us.
#include "data/Pilotes.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTime>

#include <cmath>
#include <cstring>
#include <limits>

namespace vl::data::detail {

namespace {

quint16 Lire16(const char* p)
{
    return quint16(quint8(p[0]) | (quint8(p[1]) << 8));
}
quint32 Lire32(const char* p)
{
    return quint32(quint8(p[0])) | (quint32(quint8(p[1])) << 8) | (quint32(quint8(p[2])) << 16)
         | (quint32(quint8(p[3])) << 24);
}
quint32 Lire32BE(const char* p)
{
    return (quint32(quint8(p[0])) << 24) | (quint32(quint8(p[1])) << 16)
         | (quint32(quint8(p[2])) << 8) | quint32(quint8(p[3]));
}
quint64 Lire64(const char* p)
{
    return quint64(Lire32(p)) | (quint64(Lire32(p + 4)) << 32);
}
void Ecrire32(char* p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}
void Ecrire64(char* p, quint64 v)
{
    for (int i = 0; i < 8; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

// Code page of a dBase language driver id (header byte 29).
int CodePageLangage(quint8 id)
{
    switch (id) {
    case 0x01: case 0x09: case 0x0B: case 0x0D: case 0x0F: case 0x11: case 0x15: case 0x18:
    case 0x19: case 0x1B:
        return 437;
    case 0x02: case 0x0A: case 0x0E: case 0x10: case 0x12: case 0x14: case 0x16: case 0x1A:
    case 0x1D: case 0x25: case 0x37:
        return 850;
    case 0x03: case 0x57: case 0x58: case 0x59:
        return 1252;
    case 0x04: return 10000;
    case 0x08: case 0x17: case 0x66: return 865;
    case 0x13: case 0x7B: return 932;
    case 0x1C: case 0x6C: return 863;
    case 0x1F: case 0x22: case 0x23: case 0x40: case 0x64: case 0x87: return 852;
    case 0x24: return 860;
    case 0x26: case 0x65: return 866;
    case 0x4D: case 0x7A: return 936;
    case 0x4E: case 0x79: return 949;
    case 0x4F: case 0x78: return 950;
    case 0x50: case 0x7C: return 874;
    case 0x67: return 861;
    case 0x6A: case 0x86: return 737;
    case 0x6B: case 0x88: return 857;
    case 0x7D: return 1255;
    case 0x7E: return 1256;
    case 0xC8: return 1250;
    case 0xC9: return 1251;
    case 0xCA: return 1254;
    case 0xCB: return 1253;
    case 0xCC: return 1257;
    default: return 0;
    }
}

// A .cpg file holds the page as text: "1252", "ANSI 1252", "UTF-8", "ISO 88591"...
int CodePageCpg(const QString& chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QString texte = QString::fromLatin1(f.read(256)).trimmed().toUpper();
    if (texte.contains(QLatin1String("UTF")) && texte.contains(QLatin1Char('8')))
        return 65001;
    const auto m = QRegularExpression(QStringLiteral("(\\d+)")).match(texte);
    if (!m.hasMatch())
        return 0;
    const QString n = m.captured(1);
    if (n.startsWith(QLatin1String("8859")) && n.size() == 5)
        return 28590 + n.mid(4).toInt();
    return n.toInt();
}

// Finds a file beside chemin with another extension, whatever its case.
QString FichierVoisin(const QString& chemin, const QString& extension)
{
    const QFileInfo info(chemin);
    const QString voulu = info.completeBaseName() + QLatin1Char('.') + extension;
    const QDir dossier = info.absoluteDir();
    if (dossier.exists(voulu))
        return dossier.filePath(voulu);
    const auto noms = dossier.entryList(QDir::Files);
    for (const auto& n : noms)
        if (n.compare(voulu, Qt::CaseInsensitive) == 0)
            return dossier.filePath(n);
    return QString();
}

struct ChampDbf
{
    DefinitionChamp def;
    char type = 'C';
    int offset = 0;       // from the start of the record (deletion flag at 0)
    int longueur = 0;
    bool nullable = false;
    int bitNull = -1;     // bit of _NullFlags telling NULL
    int bitLongueur = -1; // bit of _NullFlags telling a short varchar
};

class TableDBase final : public Dataset
{
public:
    explicit TableDBase(const QString& chemin)
        : Dataset(chemin, QFileInfo(chemin).fileName())
    {
        Charger();
    }

    void Rafraichir() override
    {
        Dataset::Rafraichir();
        Charger();
    }

protected:
    QList<QVariant> LireEnregistrement(int index) const override;
    QVariant VerifierValeur(int champ, const QVariant& valeur) const override;
    void EcrireEnregistrement(int index, const QHash<int, QVariant>& valeurs) override;

private:
    void Charger();
    [[noreturn]] void Erreur(const QString& message) const { throw ErreurDonnees(message, Fichier()); }
    QString Endommage() const
    {
        return tr("Le fichier dBase %1 est endommagé ou tronqué").arg(Fichier());
    }
    bool BitNullFlags(const char* rec, int bit) const;
    void PoserBitNullFlags(char* rec, int bit, bool valeur) const;
    QVariant LireMemo(const ChampDbf& c, const char* brut) const;
    QByteArray OctetsMemo(quint32 bloc, bool& texte) const;
    void Encoder(int champ, const QVariant& valeur, char* rec) const;
    void EcrireMemo(const ChampDbf& c, char* rec, const QVariant& valeur);

    QByteArray m_donnees;          // the whole table file
    QList<ChampDbf> m_dbf;         // visible fields, same order as Champs()
    const ChampDbf* m_nullFlags = nullptr;
    ChampDbf m_champNullFlags;
    QList<qint64> m_positions;     // offset of each live record
    quint8 m_version = 0;
    bool m_foxpro = false;         // Visual FoxPro layout (B is double, ...)
    int m_tailleEntete = 0;
    int m_tailleEnregistrement = 0;
    int m_codePage = 1252;
    QString m_cheminMemo;
    bool m_memoFpt = false;
    QByteArray m_memo;             // the whole memo file
    int m_tailleBloc = 512;
    bool m_memoDBase3 = false;
};

void TableDBase::Charger()
{
    const QString chemin = Fichier();
    QFile f(chemin);
    if (!f.exists())
        Erreur(tr("Le fichier %1 n'existe pas").arg(chemin));
    if (!f.open(QIODevice::ReadOnly))
        Erreur(tr("Impossible d'ouvrir le fichier %1 : %2").arg(chemin, f.errorString()));
    m_donnees = f.readAll();
    f.close();
    const QByteArray& d = m_donnees;
    if (d.size() < 33)
        Erreur(Endommage());
    m_version = quint8(d[0]);
    if (m_version == 0x04 || m_version == 0x8C)
        Erreur(tr("Le fichier %1 est au format dBase 7, qui n'est pas pris en charge").arg(chemin));
    switch (m_version) {
    case 0x02: case 0x03: case 0x30: case 0x31: case 0x32: case 0x43: case 0x63: case 0x83:
    case 0x8B: case 0x8E: case 0xCB: case 0xE5: case 0xF5: case 0xFB:
        break;
    default:
        Erreur(tr("Le fichier %1 n'est pas une table dBase").arg(chemin));
    }
    m_foxpro = m_version == 0x30 || m_version == 0x31 || m_version == 0x32;
    const quint32 nombreEntete = Lire32(d.constData() + 4);
    m_tailleEntete = Lire16(d.constData() + 8);
    m_tailleEnregistrement = Lire16(d.constData() + 10);
    if (m_tailleEntete < 33 || m_tailleEntete > d.size() || m_tailleEnregistrement < 1)
        Erreur(Endommage());

    // Code page: a .cpg beside the table wins over the header's driver id.
    m_codePage = 0;
    const QString cpg = FichierVoisin(chemin, QStringLiteral("cpg"));
    if (!cpg.isEmpty())
        m_codePage = CodePageCpg(cpg);
    if (m_codePage == 0)
        m_codePage = CodePageLangage(quint8(d[29]));
    if (m_codePage == 0)
        m_codePage = 1252;

    // Field descriptors, 32 bytes each, up to the 0x0D terminator.
    QList<ChampDbf> tous;
    int offset = 1;
    bool termine = false;
    for (int p = 32; p + 1 <= m_tailleEntete; p += 32) {
        if (d[p] == '\x0D') {
            termine = true;
            break;
        }
        if (p + 32 > m_tailleEntete)
            break;
        const char* desc = d.constData() + p;
        ChampDbf c;
        c.def.nom = QString::fromLatin1(desc, int(qstrnlen(desc, 11))).trimmed();
        c.type = char(QChar::fromLatin1(desc[11]).toUpper().toLatin1());
        c.longueur = quint8(desc[16]);
        int decimales = quint8(desc[17]);
        const quint8 drapeaux = m_foxpro ? quint8(desc[18]) : 0;
        if (c.type == 'C' && decimales > 0 && !m_foxpro) {
            // Long character fields store the high byte of their length here.
            c.longueur += decimales * 256;
            decimales = 0;
        }
        c.offset = offset;
        offset += c.longueur;
        c.nullable = drapeaux & 0x02;
        c.def.taille = c.longueur;
        c.def.decimales = decimales;
        switch (c.type) {
        case 'C': case 'V': c.def.type = TypeChamp::Chaine; break;
        case 'N': case 'F':
            if (decimales == 0 && c.longueur <= 4)
                c.def.type = TypeChamp::PetitEntier;
            else if (decimales == 0 && c.longueur <= 9)
                c.def.type = TypeChamp::Entier;
            else
                c.def.type = TypeChamp::Flottant;
            break;
        case 'D': c.def.type = TypeChamp::Date; break;
        case 'L': c.def.type = TypeChamp::Booleen; break;
        case 'M': c.def.type = TypeChamp::Memo; break;
        case 'I':
            c.def.type = (drapeaux & 0x0C) == 0x0C ? TypeChamp::AutoIncrement : TypeChamp::Entier;
            break;
        case 'B': c.def.type = m_foxpro ? TypeChamp::Flottant : TypeChamp::Binaire; break;
        case 'T': c.def.type = TypeChamp::DateHeure; break;
        case 'Y': c.def.type = TypeChamp::Monnaie; break;
        case 'G': c.def.type = TypeChamp::OleDBase; break;
        case 'P': c.def.type = TypeChamp::Graphique; break;
        case 'W': case 'Q': c.def.type = TypeChamp::Binaire; break;
        case '0': c.def.type = TypeChamp::Inconnu; break;
        default:
            Erreur(tr("Le champ %1 de %2 a un type inconnu (%3)")
                       .arg(c.def.nom, chemin, QString(QLatin1Char(c.type))));
        }
        if (c.type == 'B' && m_foxpro && c.longueur != 8)
            Erreur(Endommage());
        if ((c.type == 'I' && c.longueur != 4) || (c.type == 'Y' && c.longueur != 8)
            || (c.type == 'T' && c.longueur != 8))
            Erreur(Endommage());
        tous.append(c);
    }
    if (!termine || tous.isEmpty() || offset > m_tailleEnregistrement)
        Erreur(Endommage());

    // _NullFlags bits: per field in order, the varlength bit of V/Q fields,
    // then the null bit of nullable fields.
    m_dbf.clear();
    m_nullFlags = nullptr;
    int bit = 0;
    for (auto& c : tous) {
        if (c.type == '0') {
            m_champNullFlags = c;
            continue;
        }
        if (c.type == 'V' || c.type == 'Q')
            c.bitLongueur = bit++;
        if (c.nullable)
            c.bitNull = bit++;
        m_dbf.append(c);
    }
    for (const auto& c : tous)
        if (c.type == '0')
            m_nullFlags = &m_champNullFlags;
    if (bit > 0 && (!m_nullFlags || m_nullFlags->longueur * 8 < bit))
        Erreur(Endommage());

    // Memo file.
    m_memo.clear();
    m_cheminMemo.clear();
    bool memos = false;
    for (const auto& c : m_dbf)
        memos |= c.type == 'M' || c.type == 'G' || c.type == 'P' || c.type == 'W'
              || (c.type == 'B' && !m_foxpro);
    if (memos) {
        m_cheminMemo = FichierVoisin(chemin, QStringLiteral("fpt"));
        m_memoFpt = !m_cheminMemo.isEmpty();
        if (!m_memoFpt)
            m_cheminMemo = FichierVoisin(chemin, QStringLiteral("dbt"));
        if (m_cheminMemo.isEmpty())
            Erreur(tr("Le fichier mémo de la table %1 est introuvable").arg(chemin));
        QFile fm(m_cheminMemo);
        if (!fm.open(QIODevice::ReadOnly))
            Erreur(tr("Impossible d'ouvrir le fichier mémo %1 : %2")
                       .arg(m_cheminMemo, fm.errorString()));
        m_memo = fm.readAll();
        if (m_memo.size() < 512 && !(m_memoFpt && m_memo.size() >= 8))
            throw ErreurDonnees(tr("Le fichier mémo %1 est endommagé ou tronqué").arg(m_cheminMemo),
                                m_cheminMemo);
        if (m_memoFpt) {
            m_tailleBloc = quint16((quint8(m_memo[6]) << 8) | quint8(m_memo[7]));
            m_memoDBase3 = false;
        } else {
            m_memoDBase3 = m_version == 0x83;
            const int taille = Lire16(m_memo.constData() + 20);
            m_tailleBloc = (m_memoDBase3 || taille == 0) ? 512 : taille;
        }
        if (m_tailleBloc <= 0)
            m_tailleBloc = m_memoFpt ? 64 : 512;
    }

    // Records: trust the header count unless the file says otherwise.
    const qint64 disponibles = (qint64(d.size()) - m_tailleEntete) / m_tailleEnregistrement;
    qint64 nombre = nombreEntete;
    if (nombre > disponibles) {
        nombre = disponibles;  // truncated file: keep the whole records only
    } else if (nombre < disponibles) {
        // A writer that did not update the header: take the extra records
        // when they all look like records.
        qint64 n = nombre;
        while (n < disponibles) {
            const char flag = d[qsizetype(m_tailleEntete + n * m_tailleEnregistrement)];
            if (flag != ' ' && flag != '*')
                break;
            ++n;
        }
        if (n == disponibles)
            nombre = n;
    }
    m_positions.clear();
    for (qint64 i = 0; i < nombre; ++i) {
        const qint64 pos = m_tailleEntete + i * m_tailleEnregistrement;
        if (d[qsizetype(pos)] != '*')
            m_positions.append(pos);
    }

    QList<DefinitionChamp> defs;
    for (const auto& c : m_dbf)
        defs.append(c.def);
    Initialiser(defs, int(m_positions.size()));
    DefinirModifiable(QFileInfo(chemin).isWritable(),
                      tr("le fichier %1 est protégé en écriture").arg(chemin));
}

bool TableDBase::BitNullFlags(const char* rec, int bit) const
{
    if (!m_nullFlags || bit < 0)
        return false;
    return quint8(rec[m_nullFlags->offset + bit / 8]) & (1u << (bit % 8));
}

void TableDBase::PoserBitNullFlags(char* rec, int bit, bool valeur) const
{
    if (!m_nullFlags || bit < 0)
        return;
    quint8 octet = quint8(rec[m_nullFlags->offset + bit / 8]);
    if (valeur)
        octet |= quint8(1u << (bit % 8));
    else
        octet &= quint8(~(1u << (bit % 8)));
    rec[m_nullFlags->offset + bit / 8] = char(octet);
}

QByteArray TableDBase::OctetsMemo(quint32 bloc, bool& texte) const
{
    const auto endommage = [this]() {
        throw ErreurDonnees(tr("Le fichier mémo %1 est endommagé ou tronqué").arg(m_cheminMemo),
                            m_cheminMemo);
    };
    const qint64 debut = qint64(bloc) * m_tailleBloc;
    if (debut < 0 || debut >= m_memo.size())
        endommage();
    const char* p = m_memo.constData() + debut;
    const qint64 reste = m_memo.size() - debut;
    texte = true;
    if (m_memoFpt) {
        if (reste < 8)
            endommage();
        const quint32 type = Lire32BE(p);
        const quint32 longueur = Lire32BE(p + 4);
        if (qint64(longueur) > reste - 8)
            endommage();
        texte = type == 1;
        return QByteArray(p + 8, qsizetype(longueur));
    }
    if (!m_memoDBase3 && reste >= 8 && quint8(p[0]) == 0xFF && quint8(p[1]) == 0xFF
        && p[2] == 0x08 && p[3] == 0x00) {
        // dBase IV: the block starts with its length, 8 header bytes included.
        const quint32 longueur = Lire32(p + 4);
        if (longueur < 8 || qint64(longueur) > reste)
            endommage();
        return QByteArray(p + 8, qsizetype(longueur - 8));
    }
    // dBase III: text up to the 0x1A end mark.
    const void* fin = std::memchr(p, 0x1A, size_t(reste));
    if (!fin)
        endommage();
    return QByteArray(p, qsizetype(static_cast<const char*>(fin) - p));
}

QVariant TableDBase::LireMemo(const ChampDbf& c, const char* brut) const
{
    quint32 bloc = 0;
    if (c.longueur == 4) {
        bloc = Lire32(brut);
    } else {
        const QByteArray chiffres = QByteArray(brut, c.longueur).trimmed();
        if (chiffres.isEmpty())
            return QVariant();
        bool ok = false;
        bloc = chiffres.toUInt(&ok);
        if (!ok)
            Erreur(Endommage());
    }
    if (bloc == 0)
        return QVariant();
    bool texte = true;
    const QByteArray octets = OctetsMemo(bloc, texte);
    if (c.type == 'M' && texte)
        return Decoder(octets, m_codePage);
    return octets;
}

QList<QVariant> TableDBase::LireEnregistrement(int index) const
{
    QList<QVariant> valeurs;
    const char* rec = m_donnees.constData() + m_positions.at(index);
    for (const auto& c : m_dbf) {
        const char* brut = rec + c.offset;
        if (c.bitNull >= 0 && BitNullFlags(rec, c.bitNull)) {
            valeurs.append(QVariant());
            continue;
        }
        switch (c.type) {
        case 'C': {
            QByteArray octets(brut, c.longueur);
            int n = int(octets.size());
            while (n > 0 && (octets[n - 1] == ' ' || octets[n - 1] == '\0'))
                --n;
            valeurs.append(Decoder(octets.left(n), m_codePage));
            break;
        }
        case 'V': {
            int n = c.longueur;
            if (BitNullFlags(rec, c.bitLongueur))
                n = qMin(int(quint8(brut[c.longueur - 1])), c.longueur - 1);
            valeurs.append(Decoder(QByteArray(brut, n), m_codePage));
            break;
        }
        case 'Q': {
            int n = c.longueur;
            if (BitNullFlags(rec, c.bitLongueur))
                n = qMin(int(quint8(brut[c.longueur - 1])), c.longueur - 1);
            valeurs.append(QByteArray(brut, n));
            break;
        }
        case 'N': case 'F': {
            const QByteArray texte = QByteArray(brut, c.longueur).trimmed();
            bool ok = false;
            const double v = texte.toDouble(&ok);
            if (!ok)
                valeurs.append(QVariant());  // blank, or '*' for an overflow
            else if (c.def.type == TypeChamp::Flottant)
                valeurs.append(v);
            else
                valeurs.append(int(v));
            break;
        }
        case 'D': {
            const QDate date = QDate::fromString(QString::fromLatin1(brut, 8), QStringLiteral("yyyyMMdd"));
            valeurs.append(date.isValid() ? QVariant(date) : QVariant());
            break;
        }
        case 'L': {
            const char v = brut[0];
            if (v == 'T' || v == 't' || v == 'Y' || v == 'y')
                valeurs.append(true);
            else if (v == 'F' || v == 'f' || v == 'N' || v == 'n')
                valeurs.append(false);
            else
                valeurs.append(QVariant());
            break;
        }
        case 'I':
            valeurs.append(int(qint32(Lire32(brut))));
            break;
        case 'B':
            if (m_foxpro) {
                double v;
                const quint64 bits = Lire64(brut);
                std::memcpy(&v, &bits, 8);
                valeurs.append(v);
            } else {
                valeurs.append(LireMemo(c, brut));
            }
            break;
        case 'Y':
            valeurs.append(double(qint64(Lire64(brut))) / 10000.0);
            break;
        case 'T': {
            const qint32 jour = qint32(Lire32(brut));
            const qint32 ms = qint32(Lire32(brut + 4));
            if (jour == 0)
                valeurs.append(QVariant());
            else
                valeurs.append(QDateTime(QDate::fromJulianDay(jour), QTime::fromMSecsSinceStartOfDay(ms), Qt::UTC));
            break;
        }
        case 'M': case 'G': case 'P': case 'W':
            valeurs.append(LireMemo(c, brut));
            break;
        default:
            valeurs.append(QVariant());
        }
    }
    return valeurs;
}

QVariant TableDBase::VerifierValeur(int champ, const QVariant& valeur) const
{
    // Encode into a scratch record: that runs every check.
    QByteArray rec(m_tailleEnregistrement, ' ');
    Encoder(champ, valeur, rec.data());
    return valeur;
}

// Encodes valeur into rec (a record buffer) for field champ; raises when it
// does not fit.
void TableDBase::Encoder(int champ, const QVariant& valeur, char* rec) const
{
    const ChampDbf& c = m_dbf.at(champ);
    char* brut = rec + c.offset;
    const QString nom = c.def.nom;
    const auto refus = [&](const QString& raison) {
        Erreur(tr("Valeur refusée pour le champ %1 de %2 : %3").arg(nom, Fichier(), raison));
    };
    const bool null = !valeur.isValid() || valeur.isNull();
    if (null && c.bitNull >= 0) {
        PoserBitNullFlags(rec, c.bitNull, true);
        return;
    }
    PoserBitNullFlags(rec, c.bitNull, false);
    const auto nombre = [&](bool& ok) -> double {
        if (valeur.typeId() == QMetaType::QString) {
            QString t = valeur.toString().trimmed();
            t.replace(QLatin1Char(','), QLatin1Char('.'));
            return t.toDouble(&ok);
        }
        return valeur.toDouble(&ok);
    };
    switch (c.type) {
    case 'C': case 'V': {
        QByteArray octets;
        if (!null && !detail::Encoder(valeur.toString(), m_codePage, octets))
            refus(tr("un caractère de « %1 » n'existe pas dans la page de code du fichier")
                      .arg(valeur.toString()));
        if (octets.size() > c.longueur)
            refus(tr("« %1 » dépasse la longueur du champ (%2 caractères)")
                      .arg(valeur.toString()).arg(c.longueur));
        std::memset(brut, ' ', size_t(c.longueur));
        if (c.type == 'V') {
            std::memset(brut, 0, size_t(c.longueur));
            const bool court = octets.size() < c.longueur;
            if (court && c.bitLongueur < 0)
                refus(tr("champ de longueur variable sans indicateur"));
            PoserBitNullFlags(rec, c.bitLongueur, court);
            if (court)
                brut[c.longueur - 1] = char(octets.size());
        }
        std::memcpy(brut, octets.constData(), size_t(octets.size()));
        return;
    }
    case 'N': case 'F': {
        if (null) {
            std::memset(brut, ' ', size_t(c.longueur));
            return;
        }
        bool ok = false;
        const double v = nombre(ok);
        if (!ok || !std::isfinite(v))
            refus(tr("« %1 » n'est pas un nombre").arg(valeur.toString()));
        const QByteArray texte = QByteArray::number(v, 'f', c.def.decimales);
        if (texte.size() > c.longueur)
            refus(tr("%1 ne tient pas dans %2 chiffres").arg(valeur.toString()).arg(c.longueur));
        std::memset(brut, ' ', size_t(c.longueur));
        std::memcpy(brut + c.longueur - texte.size(), texte.constData(), size_t(texte.size()));
        return;
    }
    case 'D': {
        if (null) {
            std::memset(brut, ' ', 8);
            return;
        }
        QDate date = valeur.toDate();
        if (!date.isValid() && valeur.typeId() == QMetaType::QString)
            date = QDate::fromString(valeur.toString().trimmed(), QStringLiteral("dd/MM/yyyy"));
        if (!date.isValid() || date.year() < 1 || date.year() > 9999)
            refus(tr("« %1 » n'est pas une date").arg(valeur.toString()));
        std::memcpy(brut, date.toString(QStringLiteral("yyyyMMdd")).toLatin1().constData(), 8);
        return;
    }
    case 'L':
        brut[0] = null ? ' ' : (valeur.toBool() ? 'T' : 'F');
        return;
    case 'I': case 'Y': case 'B': {
        if (c.type == 'B' && !m_foxpro)
            break;
        if (null)
            refus(tr("le champ n'accepte pas de valeur nulle"));
        bool ok = false;
        const double v = nombre(ok);
        if (!ok || !std::isfinite(v))
            refus(tr("« %1 » n'est pas un nombre").arg(valeur.toString()));
        if (c.type == 'I') {
            if (v != std::floor(v) || v < std::numeric_limits<qint32>::min()
                || v > std::numeric_limits<qint32>::max())
                refus(tr("%1 n'est pas un entier de 32 bits").arg(valeur.toString()));
            Ecrire32(brut, quint32(qint32(v)));
        } else if (c.type == 'Y') {
            const double x = std::round(v * 10000.0);
            if (std::fabs(x) > 9.2e18)
                refus(tr("%1 est hors limites").arg(valeur.toString()));
            Ecrire64(brut, quint64(qint64(x)));
        } else {
            quint64 bits;
            std::memcpy(&bits, &v, 8);
            Ecrire64(brut, bits);
        }
        return;
    }
    case 'T': {
        if (null) {
            std::memset(brut, 0, 8);
            return;
        }
        const QDateTime dt = valeur.toDateTime();
        if (!dt.isValid())
            refus(tr("« %1 » n'est pas une date et heure").arg(valeur.toString()));
        Ecrire32(brut, quint32(qint32(dt.date().toJulianDay())));
        Ecrire32(brut + 4, quint32(dt.time().msecsSinceStartOfDay()));
        return;
    }
    default:
        break;
    }
    // Memos and blobs are written by EcrireMemo; here only check the kind.
    if (c.type == 'M' || c.type == 'G' || c.type == 'P' || c.type == 'W' || c.type == 'B')
        return;
    refus(tr("ce type de champ ne peut pas être modifié"));
    return;
}

void TableDBase::EcrireMemo(const ChampDbf& c, char* rec, const QVariant& valeur)
{
    char* brut = rec + c.offset;
    const bool null = !valeur.isValid() || valeur.isNull();
    quint32 bloc = 0;
    if (!null) {
        QByteArray octets;
        if (valeur.typeId() == QMetaType::QByteArray)
            octets = valeur.toByteArray();
        else if (!detail::Encoder(valeur.toString(), m_codePage, octets))
            Erreur(tr("Valeur refusée pour le champ %1 de %2 : un caractère n'existe pas dans la "
                      "page de code du fichier").arg(c.def.nom, Fichier()));
        // New block at the end of the memo file; the old one is left unused,
        // as dBase itself does.
        QByteArray entete = m_memo.left(m_memoFpt ? 8 : 512);
        quint32 libre = m_memoFpt ? Lire32BE(entete.constData()) : Lire32(entete.constData());
        const quint32 finFichier = quint32((m_memo.size() + m_tailleBloc - 1) / m_tailleBloc);
        if (libre < finFichier || libre == 0)
            libre = qMax<quint32>(finFichier, 1);
        QByteArray bloc8;
        if (m_memoFpt) {
            bloc8.resize(8);
            const quint32 type = c.type == 'M' ? 1 : 0;
            for (int i = 0; i < 4; ++i) {
                bloc8[i] = char((type >> (24 - 8 * i)) & 0xFF);
                bloc8[4 + i] = char((quint32(octets.size()) >> (24 - 8 * i)) & 0xFF);
            }
            bloc8 += octets;
        } else if (m_memoDBase3) {
            bloc8 = octets + QByteArray("\x1A\x1A", 2);
        } else {
            bloc8 = QByteArray("\xFF\xFF\x08\x00", 4) + QByteArray(4, '\0');
            Ecrire32(bloc8.data() + 4, quint32(octets.size() + 8));
            bloc8 += octets;
        }
        const qint64 n = (bloc8.size() + m_tailleBloc - 1) / m_tailleBloc;
        bloc8.resize(qsizetype(n * m_tailleBloc), '\0');
        QFile fm(m_cheminMemo);
        if (!fm.open(QIODevice::ReadWrite))
            Erreur(tr("Impossible d'écrire dans le fichier mémo %1 : %2")
                       .arg(m_cheminMemo, fm.errorString()));
        const quint32 suivant = libre + quint32(n);
        char tete[4];
        if (m_memoFpt) {
            for (int i = 0; i < 4; ++i)
                tete[i] = char((suivant >> (24 - 8 * i)) & 0xFF);
        } else {
            Ecrire32(tete, suivant);
        }
        if (!fm.seek(qint64(libre) * m_tailleBloc) || fm.write(bloc8) != bloc8.size()
            || !fm.seek(0) || fm.write(tete, 4) != 4)
            Erreur(tr("Impossible d'écrire dans le fichier mémo %1 : %2")
                       .arg(m_cheminMemo, fm.errorString()));
        fm.close();
        if (m_memo.size() < qint64(libre) * m_tailleBloc)
            m_memo.resize(qsizetype(qint64(libre) * m_tailleBloc), '\0');
        m_memo.replace(qsizetype(qint64(libre) * m_tailleBloc), bloc8.size(), bloc8);
        std::memcpy(m_memo.data(), tete, 4);
        bloc = libre;
    }
    if (c.bitNull >= 0)
        PoserBitNullFlags(rec, c.bitNull, null);
    if (c.longueur == 4) {
        Ecrire32(brut, bloc);
    } else {
        std::memset(brut, ' ', size_t(c.longueur));
        if (bloc != 0) {
            const QByteArray chiffres = QByteArray::number(bloc).rightJustified(c.longueur, ' ');
            std::memcpy(brut, chiffres.constData(), size_t(qMin<qsizetype>(chiffres.size(), c.longueur)));
        }
    }
}

void TableDBase::EcrireEnregistrement(int index, const QHash<int, QVariant>& valeurs)
{
    const qint64 pos = m_positions.at(index);
    QByteArray rec = m_donnees.mid(qsizetype(pos), m_tailleEnregistrement);
    for (auto it = valeurs.constBegin(); it != valeurs.constEnd(); ++it) {
        const ChampDbf& c = m_dbf.at(it.key());
        if (c.type == 'M' || c.type == 'G' || c.type == 'P' || c.type == 'W'
            || (c.type == 'B' && !m_foxpro))
            EcrireMemo(c, rec.data(), it.value());
        else
            Encoder(it.key(), it.value(), rec.data());
    }
    QFile f(Fichier());
    if (!f.open(QIODevice::ReadWrite))
        Erreur(tr("Impossible d'écrire dans le fichier %1 : %2").arg(Fichier(), f.errorString()));
    const QDate aujourdhui = QDate::currentDate();
    const char date[3] = {char(aujourdhui.year() - 1900), char(aujourdhui.month()),
                          char(aujourdhui.day())};
    if (!f.seek(pos) || f.write(rec) != rec.size() || !f.seek(1) || f.write(date, 3) != 3)
        Erreur(tr("Impossible d'écrire dans le fichier %1 : %2").arg(Fichier(), f.errorString()));
    f.close();
    m_donnees.replace(qsizetype(pos), rec.size(), rec);
    std::memcpy(m_donnees.data() + 1, date, 3);
}

} // namespace

std::unique_ptr<Dataset> OuvrirDBase(const QString& chemin)
{
    return std::make_unique<TableDBase>(chemin);
}

QList<ObjetSource> ListerDBase(const QString& dossier)
{
    return ListerFichiers(dossier, QStringLiteral(".dbf"));
}

} // namespace vl::data::detail
