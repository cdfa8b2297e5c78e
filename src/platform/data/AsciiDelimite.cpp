#include "data/AsciiDelimite.h"
#include "data/Pilotes.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace vl::data {

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

QByteArray LireFichier(const QString& chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        throw ErreurDonnees(detail::tr("Impossible de lire le fichier %1").arg(chemin), chemin);
    return f.readAll();
}

// Start and length of every line of a text, line ends (CR LF, LF or CR) left out.
struct Lignes
{
    QList<qsizetype> debuts;
    QList<qsizetype> longueurs;
};

Lignes DecouperLignes(const QString& texte)
{
    Lignes l;
    const QChar* d = texte.constData();
    const qsizetype n = texte.size();
    qsizetype debut = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i].unicode();
        if (c == u'\n' || c == u'\r') {
            l.debuts.append(debut);
            l.longueurs.append(i - debut);
            if (c == u'\r' && i + 1 < n && d[i + 1].unicode() == u'\n')
                ++i;
            debut = i + 1;
        }
    }
    if (debut < n) {
        l.debuts.append(debut);
        l.longueurs.append(n - debut);
    }
    // Blank lines at the end of a file are not records.
    while (!l.longueurs.isEmpty() && l.longueurs.last() == 0) {
        l.debuts.removeLast();
        l.longueurs.removeLast();
    }
    return l;
}

QString SansDelimiteur(QStringView piece, QChar delimiteur)
{
    if (delimiteur.isNull() || !piece.contains(delimiteur))
        return piece.toString();
    if (piece.size() >= 2 && piece.front() == delimiteur && piece.back() == delimiteur) {
        // A doubled quote inside stands for one; a lone one belongs to no value.
        const QStringView dedans = piece.mid(1, piece.size() - 2);
        QString r;
        r.reserve(dedans.size());
        for (qsizetype i = 0; i < dedans.size(); ++i) {
            if (dedans[i] != delimiteur)
                r += dedans[i];
            else if (i + 1 < dedans.size() && dedans[i + 1] == delimiteur)
                r += dedans[i++];
        }
        return r;
    }
    QString r = piece.toString();
    r.remove(delimiteur);
    return r;
}

class DatasetAscii : public Dataset
{
public:
    DatasetAscii(const QString& chemin, const DescriptionAscii& description)
        : Dataset(chemin, QFileInfo(chemin).completeBaseName()), m_description(description)
    {
        Charger();
        DefinirModifiable(false, tr("un fichier texte délimité se modifie dans son propre éditeur"));
    }

    void Rafraichir() override
    {
        Charger();
        Dataset::Rafraichir();
    }

    void ViderColonne(int champ)
    {
        QString sortie;
        sortie.reserve(m_texte.size());
        const QString finLigne = m_finLigne;
        for (int i = 0; i < m_lignes.debuts.size(); ++i) {
            const QStringView ligne(m_texte.constData() + m_lignes.debuts[i], m_lignes.longueurs[i]);
            const auto pieces = ligne.split(m_description.separateur);
            for (int k = 0; k < pieces.size(); ++k) {
                if (k > 0)
                    sortie += m_description.separateur;
                if (k != champ)
                    sortie += pieces[k];
            }
            sortie += finLigne;
        }
        QByteArray octets;
        if (m_utf8) {
            if (m_bom)
                octets = kBom;
            octets += sortie.toUtf8();
        } else if (!detail::Encoder(sortie, 1252, octets)) {
            throw ErreurDonnees(tr("Le fichier %1 ne peut pas être réécrit dans son codage").arg(Fichier()),
                                Fichier());
        }
        QSaveFile f(Fichier());
        if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size() || !f.commit())
            throw ErreurDonnees(tr("Impossible d'écrire le fichier %1").arg(Fichier()), Fichier());
        Rafraichir();
    }

protected:
    QList<QVariant> LireEnregistrement(int index) const override
    {
        QList<QVariant> r;
        const int n = int(m_description.colonnes.size());
        r.reserve(n);
        if (index < 0 || index >= m_lignes.debuts.size())
            return r;
        const QStringView ligne(m_texte.constData() + m_lignes.debuts[index], m_lignes.longueurs[index]);
        qsizetype debut = 0;
        for (int k = 0; k < n; ++k) {
            if (debut > ligne.size()) {
                r.append(QVariant());
                continue;
            }
            qsizetype fin = ligne.indexOf(m_description.separateur, debut);
            if (fin < 0)
                fin = ligne.size();
            const QString v = SansDelimiteur(ligne.mid(debut, fin - debut), m_description.delimiteur);
            r.append(v.isEmpty() ? QVariant() : QVariant(v));
            debut = fin + 1;
        }
        return r;
    }

private:
    void Charger()
    {
        const QByteArray octets = LireFichier(Fichier());
        m_bom = octets.startsWith(kBom);
        m_texte = DecoderTexteAscii(octets, &m_utf8);
        m_lignes = DecouperLignes(m_texte);
        const qsizetype cr = m_texte.indexOf(QLatin1Char('\r'));
        const qsizetype lf = m_texte.indexOf(QLatin1Char('\n'));
        m_finLigne = (cr >= 0 && lf == cr + 1) ? QStringLiteral("\r\n")
                   : (cr >= 0 && lf < 0)       ? QStringLiteral("\r")
                   : (lf >= 0)                 ? QStringLiteral("\n")
                                               : QStringLiteral("\r\n");
        QList<DefinitionChamp> champs;
        for (const auto& c : m_description.colonnes)
            champs.append(DefinitionChamp{c.nom, TypeChamp::Chaine, c.largeur, 0});
        Initialiser(champs, int(m_lignes.debuts.size()));
    }

    DescriptionAscii m_description;
    QString m_texte;
    Lignes m_lignes;
    QString m_finLigne;
    bool m_utf8 = false;
    bool m_bom = false;
};

} // namespace

QString DecoderTexteAscii(const QByteArray& octets, bool* utf8)
{
    if (octets.startsWith(kBom)) {
        if (utf8)
            *utf8 = true;
        return QString::fromUtf8(octets.constData() + 3, octets.size() - 3);
    }
    QStringDecoder decodeur(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texte = decodeur.decode(octets);
    if (!decodeur.hasError()) {
        if (utf8)
            *utf8 = true;
        return texte;
    }
    if (utf8)
        *utf8 = false;
    return detail::Decoder(octets, 1252);
}

QString PremiereLigneAscii(const QString& chemin)
{
    const QString texte = DecoderTexteAscii(LireFichier(chemin));
    qsizetype fin = 0;
    while (fin < texte.size() && texte[fin] != QLatin1Char('\n') && texte[fin] != QLatin1Char('\r'))
        ++fin;
    return texte.left(fin);
}

QList<int> LargeursAscii(const QString& chemin, QChar separateur)
{
    const QString texte = DecoderTexteAscii(LireFichier(chemin));
    const Lignes lignes = DecouperLignes(texte);
    QList<int> largeurs;
    if (lignes.debuts.isEmpty())
        return {1};
    {
        const QStringView premiere(texte.constData() + lignes.debuts[0], lignes.longueurs[0]);
        largeurs.fill(1, int(premiere.count(separateur)) + 1);
    }
    const int n = int(largeurs.size());
    for (int i = 0; i < lignes.debuts.size(); ++i) {
        const QStringView ligne(texte.constData() + lignes.debuts[i], lignes.longueurs[i]);
        qsizetype debut = 0;
        for (int k = 0; k < n && debut <= ligne.size(); ++k) {
            qsizetype fin = ligne.indexOf(separateur, debut);
            if (fin < 0)
                fin = ligne.size();
            largeurs[k] = qMax(largeurs[k], int(fin - debut));
            debut = fin + 1;
        }
    }
    return largeurs;
}

std::unique_ptr<Dataset> OuvrirAscii(const QString& chemin, const DescriptionAscii& description)
{
    return std::make_unique<DatasetAscii>(chemin, description);
}

void ViderColonneAscii(Dataset& dataset, const QString& nom)
{
    auto* ascii = dynamic_cast<DatasetAscii*>(&dataset);
    if (!ascii)
        throw ErreurDonnees(detail::tr("%1 n'est pas un fichier texte délimité").arg(dataset.Fichier()),
                            dataset.Fichier());
    ascii->ViderColonne(ascii->IndexChampExiste(nom));
}

} // namespace vl::data
