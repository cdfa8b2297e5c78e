// Delimited text files: the checks before opening, the schema file beside
// the data file (written, read, rebuilt when the data is newer) and the
// print counter column.
#include "connections/Connexions.h"
#include "model/ConnexionIO.h"
#include "data/AsciiDelimite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString tr(const char* texte)
{
    return QCoreApplication::translate("TAsciiConnexionStrategie", texte);
}

const QString kAccents = QStringLiteral("éêèëàâäùûüïîôöÊËÔÖÎÏÛÜÂÄç");

// The lines of a schema file, line ends removed, nothing else touched: a TAB
// separator is a value.
QStringList LignesSchema(const QString& chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        throw EConnexion(tr("Impossible de lire le schéma %1").arg(chemin), chemin);
    QString texte = vl::data::DecoderTexteAscii(f.readAll());
    texte.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lignes = texte.split(QLatin1Char('\n'));
    while (!lignes.isEmpty() && lignes.last().isEmpty())
        lignes.removeLast();
    return lignes;
}

// The value of key `cle` in a schema, or a null string when it is absent.
QString ValeurSchema(const QStringList& lignes, const QString& cle)
{
    for (const QString& l : lignes) {
        const qsizetype egal = l.indexOf(QLatin1Char('='));
        if (egal > 0 && l.left(egal).compare(cle, Qt::CaseInsensitive) == 0)
            return l.mid(egal + 1);
    }
    return QString();
}

QChar PremierCaractere(const QString& s)
{
    return s.isEmpty() ? QChar() : s.front();
}

bool EstLigneChamp(const QString& ligne)
{
    return ligne.startsWith(QLatin1String("Field"), Qt::CaseInsensitive) && ligne.contains(QLatin1Char('='));
}

QString NomDeLigneChamp(const QString& ligne)
{
    const QString valeur = ligne.mid(ligne.indexOf(QLatin1Char('=')) + 1);
    return valeur.section(QLatin1Char(','), 0, 0);
}

} // namespace

TAsciiConnexionStrategie::TAsciiConnexionStrategie(TControleurConnexion& controleur, const QString& nomStrategie,
                                                   QChar separateur, QChar delimiteur)
    : TBDEConnexionStrategie(controleur, nomStrategie, QStringLiteral("ParamsAscii.txt"), QStringLiteral("txt"),
                             tr("Fichiers Ascii (txt, csv)|*.txt;*.csv"), vl::data::Format::DBase),
      Delimiteur(delimiteur), Separateur(separateur)
{
}

QString TAsciiConnexionStrategie::CheminSchema(const QString& fichierDonnees)
{
    const QFileInfo fi(fichierDonnees);
    const QString nom = fi.fileName();
    const qsizetype point = nom.lastIndexOf(QLatin1Char('.'));
    const QString base = point >= 0 ? nom.left(point) : nom;
    return fi.dir().filePath(base + QStringLiteral(".sch"));
}

// A folder stored relative (the connections shipped with the program name
// their sample folder so) is under the installation root, wherever the
// program was installed.
static QString DossierDeConnexion(const QString& nomBd)
{
    if (nomBd.isEmpty() || QDir::isAbsolutePath(nomBd))
        return nomBd;
    return QDir(TDMConnexioIO::RacineInstallation()).filePath(nomBd);
}

QString TAsciiConnexionStrategie::CheminDonnees() const
{
    return QDir(Dossier).filePath(Table);
}

void TAsciiConnexionStrategie::ListerTables()
{
    const auto c = ConnexionBDE();
    Dossier = DossierDeConnexion(c->NomBd());
    Tables = QDir(Dossier).entryList({QStringLiteral("*.txt"), QStringLiteral("*.csv")}, QDir::Files,
                                     QDir::Name | QDir::IgnoreCase);
    Controleur.Fenetres().AfficherTables(Controleur, Tables);
}

QString TAsciiConnexionStrategie::ValeurFormatee(const QString& champ)
{
    return Valeurs.Valeur(champ);
}

void TAsciiConnexionStrategie::CreerConnexion()
{
    TBDEConnexionStrategie::CreerConnexion();
    Modifiable = false;
}

bool TAsciiConnexionStrategie::CorrespondAuType(const QString& chemin, const QString& schema) const
{
    if (QFileInfo::exists(schema)) {
        const QStringList lignes = LignesSchema(schema);
        const QChar separateur = PremierCaractere(ValeurSchema(lignes, QStringLiteral("Separator")));
        const QChar delimiteur = PremierCaractere(ValeurSchema(lignes, QStringLiteral("Delimiter")));
        return separateur == Separateur && delimiteur == Delimiteur;
    }
    const QString ligne = vl::data::PremiereLigneAscii(chemin);
    if (ligne.contains(QLatin1Char('\t')))
        return Separateur == QLatin1Char('\t');
    QString motif(Separateur);
    if (!Delimiteur.isNull())
        motif += Delimiteur;
    return ligne.contains(motif);
}

void TAsciiConnexionStrategie::OuvrirFichier()
{
    const auto c = ConnexionBDE();
    Dossier = DossierDeConnexion(c->NomBd());
    Table = c->NomTable();
    Controleur.JeuDonnees.reset();
    Valeurs.Initialiser(nullptr);

    const QString chemin = CheminDonnees();
    const QString schema = CheminSchema(chemin);
    const QFileInfo infoDonnees(chemin);
    if (Table.isEmpty() || !infoDonnees.isFile())
        throw EConnexion(tr("Le fichier %1 n'existe pas").arg(QDir::toNativeSeparators(chemin)), chemin);
    for (const QChar ch : kAccents)
        if (Table.contains(ch))
            throw EConnexion(tr("Le nom du fichier ne doit pas contenir de caractères accentués"), chemin);
    // Reading the file is the last check; a file that cannot be read cannot
    // be matched either, so that failure is reported as the reading one.
    const QString messageLecture =
        tr("Le fichier %1 ne peut pas être lu : vérifiez les droits d'accès").arg(QDir::toNativeSeparators(chemin));
    QFile essai(chemin);
    const bool lisible = essai.open(QIODevice::ReadOnly);
    essai.close();
    if (lisible || QFileInfo::exists(schema)) {
        bool correspond = false;
        try {
            correspond = CorrespondAuType(chemin, schema);
        } catch (const vl::data::ErreurDonnees&) {
            throw EConnexion(messageLecture, chemin);
        }
        if (!correspond)
            throw EConnexion(tr("Le fichier ne correspond pas au type choisi"), chemin);
    }
    if (!lisible)
        throw EConnexion(messageLecture, chemin);

    Colonnes.clear();
    QStringList nomsAnciens;
    QFileInfo infoSchema(schema);
    if (infoSchema.exists() && infoSchema.lastModified() < infoDonnees.lastModified()) {
        for (const QString& l : LignesSchema(schema))
            if (EstLigneChamp(l))
                nomsAnciens << NomDeLigneChamp(l);
        QFile::remove(schema);
    }
    if (QFileInfo::exists(schema)) {
        LireSchema();
    } else {
        const QList<int> largeurs = vl::data::LargeursAscii(chemin, Separateur);
        const bool garder = nomsAnciens.size() == largeurs.size();
        for (int k = 0; k < largeurs.size(); ++k)
            Colonnes.append(TColonneDescription{garder ? nomsAnciens[k] : QStringLiteral("col%1").arg(k + 1),
                                                largeurs[k]});
        EcrireSchema();
    }

    vl::data::DescriptionAscii description;
    description.separateur = Separateur;
    description.delimiteur = Delimiteur;
    for (const auto& col : Colonnes)
        description.colonnes.append(vl::data::ColonneAscii{col.Nom, col.Largeur});
    Controleur.JeuDonnees = vl::data::OuvrirAscii(chemin, description);
    Valeurs.Initialiser(Controleur.JeuDonnees.get());
}

void TAsciiConnexionStrategie::EcrireSchema()
{
    const QString chemin = CheminDonnees();
    const QString nomFichier = QFileInfo(chemin).fileName();
    const qsizetype point = nomFichier.lastIndexOf(QLatin1Char('.'));
    const QString nomTable = point >= 0 ? nomFichier.left(point) : nomFichier;
    const QString fin = QStringLiteral("\r\n");
    QString texte = QLatin1Char('[') + nomTable + QLatin1Char(']') + fin;
    texte += QStringLiteral("Filetype=VARYING") + fin;
    texte += QStringLiteral("Separator=") + Separateur + fin;
    if (!Delimiteur.isNull())
        texte += QStringLiteral("Delimiter=") + Delimiteur + fin;
    texte += QStringLiteral("CharSet=ANSIINTL") + fin;
    int offset = 0;
    for (int k = 0; k < Colonnes.size(); ++k) {
        texte += QStringLiteral("Field%1=%2,Char,%3,00,%4").arg(k + 1).arg(Colonnes[k].Nom).arg(Colonnes[k].Largeur).arg(offset)
               + fin;
        offset += Colonnes[k].Largeur;
    }
    const QString schema = CheminSchema(chemin);
    QSaveFile f(schema);
    const QByteArray octets = texte.toUtf8();
    if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size() || !f.commit())
        throw EConnexion(tr("Impossible d'écrire le schéma %1").arg(QDir::toNativeSeparators(schema)), schema);
}

void TAsciiConnexionStrategie::LireSchema()
{
    Colonnes.clear();
    const QStringList lignes = LignesSchema(CheminSchema(CheminDonnees()));
    for (qsizetype i = LignesEntete(); i < lignes.size(); ++i) {
        const QString& l = lignes[i];
        const qsizetype egal = l.indexOf(QLatin1Char('='));
        if (egal < 0)
            continue;
        const QString valeur = l.mid(egal + 1);
        bool ok = false;
        const int largeur = valeur.section(QLatin1Char(','), 2, 2).trimmed().toInt(&ok);
        Colonnes.append(TColonneDescription{valeur.section(QLatin1Char(','), 0, 0), ok && largeur > 0 ? largeur : 1});
    }
}

void TAsciiConnexionStrategie::AppliquerColonnes()
{
    QStringList noms;
    for (const auto& col : Colonnes) {
        // The schema separates its items with commas and names one column a line.
        if (col.Nom.trimmed().isEmpty() || col.Nom.contains(QLatin1Char(',')) || col.Nom.contains(QLatin1Char('='))
            || col.Nom.contains(QLatin1Char('\n')) || col.Nom.contains(QLatin1Char('\r')))
            throw EConnexion(tr("Le nom de colonne « %1 » n'est pas valide : il ne doit être ni vide ni contenir de "
                                "virgule ou de signe égal").arg(col.Nom));
        if (noms.contains(col.Nom, Qt::CaseInsensitive))
            throw EConnexion(tr("Le nom de colonne « %1 » est utilisé deux fois").arg(col.Nom));
        noms << col.Nom;
    }
    const auto c = Controleur.Connexion();
    for (auto& col : Colonnes)
        if (c && !c->CompteurImpressions().isEmpty() && col.Nom == c->CompteurImpressions())
            col.Largeur = 4;
    Valeurs.Noms = noms;
    EcrireSchema();
}

void TAsciiConnexionStrategie::Ouvrir(bool consulter)
{
    OuvrirFichier();
    Controleur.Ouverte = true;
    const auto c = Controleur.Connexion();
    const QString compteur = c ? c->CompteurImpressions() : QString();
    if (!compteur.isEmpty() && Controleur.JeuDonnees->IndexChamp(compteur) >= 0 && !Controleur.ChampEntier(compteur))
        Controleur.Fenetres().AfficherErreur(
            tr("Attention, vérifiez le champ") + QLatin1Char(' ') + compteur + QStringLiteral("\r\n") + QStringLiteral(" (")
            + tr("un champ compteur doit contenir des des nombres entiers ou des valeurs nulles") + QLatin1Char(')'));
    TConnexionStrategie::Ouvrir(consulter);
}

void TAsciiConnexionStrategie::TableChoisie()
{
    OuvrirFichier();
    const auto c = Controleur.Connexion();
    if (Controleur.Mode == 1 && c && !Colonnes.isEmpty() && Controleur.ChampEntier(Colonnes.first().Nom))
        c->SetCompteurImpressions(Colonnes.first().Nom);
    Controleur.Fenetres().AfficherChampsSpeciaux(Controleur, true);
}

void TAsciiConnexionStrategie::RazCompteur()
{
    const auto c = Controleur.Connexion();
    if (!c || c->CompteurImpressions().isEmpty())
        return;
    vl::data::ViderColonneAscii(Donnees(), c->CompteurImpressions());
}
