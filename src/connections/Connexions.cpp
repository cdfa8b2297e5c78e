#include "connections/Connexions.h"

#include "model/ConnexionIO.h"
#include "model/DmIDE.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QTextStream>

using vl::data::Dataset;
using vl::data::TypeChamp;

namespace {

QString tr(const char* texte)
{
    return QCoreApplication::translate("TControleurConnexion", texte);
}

TControleurConnexion* g_instance = nullptr;

QStringList LireParametres(const QString& fichier)
{
    QStringList r;
    QFile f(TControleurConnexion::DossierParametres() + fichier);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return r;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString ligne = in.readLine().trimmed();
        if (!ligne.isEmpty())
            r << ligne;
    }
    return r;
}

} // namespace

// ---------------------------------------------------------------- TRecordValues

void TRecordValues::Initialiser(Dataset* source)
{
    m_source = source;
    Noms = source ? source->NomsChamps() : QStringList();
}

QString TRecordValues::Valeur(const QString& nom) const
{
    const qsizetype i = Noms.indexOf(nom, 0);
    qsizetype index = i;
    if (index < 0)
        for (qsizetype k = 0; k < Noms.size(); ++k)
            if (Noms[k].compare(nom, Qt::CaseInsensitive) == 0) {
                index = k;
                break;
            }
    if (!m_source || index < 0)
        throw EConnexion(tr("Champ %1 introuvable").arg(nom));
    return m_source->Texte(int(index));
}

QStringList TRecordValues::Valeurs() const
{
    QStringList r;
    for (int i = 0; m_source && i < Noms.size(); ++i)
        r << m_source->Texte(i);
    return r;
}

// ---------------------------------------------------------------- TConnexionStrategie

TConnexionStrategie::TConnexionStrategie(TControleurConnexion& controleur, const QString& nomStrategie)
    : Controleur(controleur), NomStrategie(nomStrategie)
{
}

TConnexionStrategie::~TConnexionStrategie() = default;

Dataset& TConnexionStrategie::Donnees() const
{
    return Controleur.Donnees();
}

void TConnexionStrategie::AfficherDefinition(bool) {}

void TConnexionStrategie::Consulter()
{
    const auto c = Controleur.Connexion();
    Controleur.Fenetres().Consulter(Controleur, c && c->ChampsImagesCount() > 0);
}

void TConnexionStrategie::ListerTables() {}

void TConnexionStrategie::NouvelleConnexion() {}

bool TConnexionStrategie::Editer()
{
    AfficherDefinition(false);
    return Controleur.Fenetres().Editer(Controleur, false);
}

void TConnexionStrategie::ListerChamps(QStringList& liste)
{
    for (const auto& c : Donnees().Champs())
        if (!ChampCache(c.nom))
            liste << c.nom;
}

void TConnexionStrategie::ListerChampsTexte(QStringList& liste)
{
    for (const auto& c : Donnees().Champs())
        if (!vl::data::EstTypeBlob(c.type))
            liste << c.nom;
}

void TConnexionStrategie::ListerChampsMemo(QStringList& liste)
{
    for (const auto& c : Donnees().Champs())
        if (vl::data::EstTypeMemo(c.type))
            liste << c.nom;
}

void TConnexionStrategie::ListerChampsImage(QStringList& liste)
{
    if (const auto c = Controleur.Connexion())
        for (int i = 0; i < c->ChampsImagesCount(); ++i)
            liste << c->ChampsImages(i)->NomChamp();
    for (const auto& c : Donnees().Champs())
        if (vl::data::EstTypeChaine(c.type))
            liste << c.nom;
}

bool TConnexionStrategie::EstChampImage(const QString& nom)
{
    const auto c = Controleur.Connexion();
    return c && c->ImageDefDuChamp(nom) != nullptr;
}

void TConnexionStrategie::ChargerImage(const QString& nom, QImage& image, bool)
{
    const auto c = Controleur.Connexion();
    const auto def = c ? c->ImageDefDuChamp(nom) : nullptr;
    if (!def)
        return;
    const QString format = def->Specificateur() == 1 ? Controleur.Valeur(def->TypeImage(), false)
                                                     : def->TypeImage();
    Dataset& d = Donnees();
    if (d.EstNull(nom))
        return;
    const QByteArray nomFormat = format.trimmed().toLower().toLatin1();
    if (nomFormat.isEmpty() || !QImageReader::supportedImageFormats().contains(nomFormat))
        return;
    QByteArray octets = d.Blob(nom);
    QBuffer tampon(&octets);
    QImageReader lecteur(&tampon, nomFormat);
    QImage lue;
    if (lecteur.read(&lue))
        image = lue;
}

QString TConnexionStrategie::ValeurFormatee(const QString& champ)
{
    Dataset& d = Donnees();
    const int i = d.IndexChampExiste(champ);
    const TypeChamp type = d.Champs()[i].type;
    if (type == TypeChamp::Monnaie || type == TypeChamp::BCD) {
        const QVariant v = d.Valeur(i);
        if (!v.isValid())
            return QString();
        const QLocale systeme = QLocale::system();
        return systeme.toCurrencyString(v.toDouble(), systeme.currencySymbol());
    }
    return d.Texte(i);
}

QString TConnexionStrategie::ValeurTexte(const QString& nom)
{
    Dataset& d = Donnees();
    const int i = d.IndexChampExiste(nom);
    if (!vl::data::EstTypeMemo(d.Champs()[i].type))
        return d.Texte(i);
    // The memo line by line, each line closed by CR LF.
    QString texte = d.Texte(i);
    if (texte.isEmpty())
        return texte;
    texte.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (texte.endsWith(QLatin1Char('\n')))
        texte.chop(1);
    QString r;
    for (const QString& ligne : texte.split(QLatin1Char('\n')))
        r += ligne + QStringLiteral("\r\n");
    return r;
}

QString TConnexionStrategie::NomAffiche(const QString& champ)
{
    return champ;
}

QString TConnexionStrategie::NomChamp(const QString& affiche)
{
    return affiche;
}

void TConnexionStrategie::CreerConnexion()
{
    Modifiable = true;
}

bool TConnexionStrategie::ChampCache(const QString&)
{
    return false;
}

void TConnexionStrategie::Ouvrir(bool consulter)
{
    if (consulter)
        Consulter();
}

void TConnexionStrategie::TableChoisie()
{
    // Close and reopen; a table that does not open yet is not an error here.
    if (Controleur.JeuDonnees) {
        try {
            Controleur.JeuDonnees->Rafraichir();
        } catch (const vl::data::ErreurDonnees&) {
        }
    }
    Controleur.Fenetres().AfficherChampsSpeciaux(Controleur, false);
}

void TConnexionStrategie::RazCompteur() {}

// ---------------------------------------------------------------- BDE

TBDEConnexionStrategie::TBDEConnexionStrategie(TControleurConnexion& controleur, const QString& nomStrategie,
                                               const QString& fichierParametres, const QString& extension,
                                               const QString& filtre, vl::data::Format format)
    : TConnexionStrategie(controleur, nomStrategie), Extension(extension), Filtre(filtre),
      Parametres(LireParametres(fichierParametres)), FormatDonnees(format)
{
}

std::shared_ptr<TVlBDEConnexion> TBDEConnexionStrategie::ConnexionBDE() const
{
    auto c = std::dynamic_pointer_cast<TVlBDEConnexion>(Controleur.Connexion());
    if (!c)
        throw EConnexion(tr("La connexion courante n'est pas une connexion à une table ou à un fichier"));
    return c;
}

void TBDEConnexionStrategie::AfficherDefinition(bool nouvelle)
{
    Controleur.Fenetres().AfficherDefinition(Controleur, false, nouvelle, false);
}

void TBDEConnexionStrategie::ListerTables()
{
    const auto c = ConnexionBDE();
    Dossier = c->NomBd();
    Tables = vl::data::ListerTables(FormatDonnees, Dossier);
    Controleur.Fenetres().AfficherTables(Controleur, Tables);
}

void TBDEConnexionStrategie::NouvelleConnexion()
{
    auto c = Controleur.Connecteur()->Nouveau<TVlBDEConnexion>();
    c->SetNomBd(TControleurConnexion::DossierConnexions());
    Controleur.DefinirConnexion(c);
    AfficherDefinition(true);
}

void TBDEConnexionStrategie::CreerConnexion()
{
    // The tables are opened on demand from the folder; nothing to prepare.
    TConnexionStrategie::CreerConnexion();
}

void TBDEConnexionStrategie::OuvrirTable()
{
    const auto c = ConnexionBDE();
    Dossier = c->NomBd();
    Table = c->NomTable();
    Controleur.JeuDonnees.reset();
    Controleur.JeuDonnees = vl::data::Ouvrir(FormatDonnees, Dossier, Table);
}

void TBDEConnexionStrategie::Ouvrir(bool consulter)
{
    OuvrirTable();
    Controleur.Ouverte = true;
    TConnexionStrategie::Ouvrir(consulter);
}

void TBDEConnexionStrategie::TableChoisie()
{
    try {
        OuvrirTable();
    } catch (const vl::data::ErreurDonnees&) {
        Controleur.JeuDonnees.reset();
        throw;
    }
    Controleur.Fenetres().AfficherChampsSpeciaux(Controleur, true);
}

void TBDEConnexionStrategie::RazCompteur()
{
    const auto c = Controleur.Connexion();
    if (!c || c->CompteurImpressions().isEmpty())
        return;
    Donnees().MettreAJourColonne(c->CompteurImpressions());
    Donnees().Rafraichir();
}

// ---------------------------------------------------------------- ADO

TADOConnexionStrategie::TADOConnexionStrategie(TControleurConnexion& controleur, const QString& nomStrategie,
                                               const QString& filtre, vl::data::Format format)
    : TConnexionStrategie(controleur, nomStrategie), Filtre(filtre),
      // Access and Excel files are read by our own layer, which handles both
      // generations of files: the newer provider is always there.
      Fournisseur(FournisseurAce()), FormatDonnees(format)
{
}

std::shared_ptr<TVlADOConnexion> TADOConnexionStrategie::ConnexionADO() const
{
    auto c = std::dynamic_pointer_cast<TVlADOConnexion>(Controleur.Connexion());
    if (!c)
        throw EConnexion(tr("La connexion courante n'est pas une connexion à une base de données"));
    return c;
}

void TADOConnexionStrategie::AfficherDefinition(bool nouvelle)
{
    Controleur.Fenetres().AfficherDefinition(Controleur, true, nouvelle, true);
}

void TADOConnexionStrategie::ListerTables()
{
    const auto c = ConnexionADO();
    NomBd = c->NomBd();
    MotDePasse = c->Mtps();
    vl::data::OptionsOuverture options;
    options.motDePasse = MotDePasse;
    Tables = vl::data::ListerTables(FormatDonnees, NomBd, options);
    Controleur.Fenetres().AfficherTables(Controleur, Tables);
}

void TADOConnexionStrategie::NouvelleConnexion()
{
    auto c = Controleur.Connecteur()->Nouveau<TVlADOConnexion>();
    c->SetNomBd(TControleurConnexion::DossierConnexions());
    c->SetProvider(Fournisseur);
    Controleur.DefinirConnexion(c);
    AfficherDefinition(true);
}

void TADOConnexionStrategie::CreerConnexion()
{
    TConnexionStrategie::CreerConnexion();
}

void TADOConnexionStrategie::Ouvrir(bool consulter)
{
    const auto c = ConnexionADO();
    NomBd = c->NomBd();
    NomTable = c->NomTable();
    MotDePasse = c->Mtps();
    if (!QFileInfo(NomBd).isFile())
        throw EConnexion(tr("Le fichier %1 n'existe pas").arg(NomBd), NomBd);
    Controleur.JeuDonnees.reset();
    if (!NomTable.isEmpty()) {
        vl::data::OptionsOuverture options;
        options.motDePasse = MotDePasse;
        Controleur.JeuDonnees = vl::data::Ouvrir(FormatDonnees, NomBd, NomTable, options);
    }
    Controleur.Ouverte = true;
    TConnexionStrategie::Ouvrir(consulter);
}

void TADOConnexionStrategie::TableChoisie()
{
    const auto c = ConnexionADO();
    NomTable = c->NomTable();
    vl::data::OptionsOuverture options;
    options.motDePasse = c->Mtps();
    Controleur.JeuDonnees.reset();
    Controleur.JeuDonnees = vl::data::Ouvrir(FormatDonnees, c->NomBd(), NomTable, options);
    Controleur.Fenetres().AfficherChampsSpeciaux(Controleur, TypesImages());
}

void TADOConnexionStrategie::RazCompteur()
{
    const auto c = Controleur.Connexion();
    if (!c || c->CompteurImpressions().isEmpty())
        return;
    Donnees().MettreAJourColonne(c->CompteurImpressions());
    Donnees().Rafraichir();
}

TAccessConnexionStrategie::TAccessConnexionStrategie(TControleurConnexion& controleur)
    : TADOConnexionStrategie(controleur, QStringLiteral("Access"),
                             tr("Bases de données access (mdb, accdb)|*.mdb;*.accdb"), vl::data::Format::Access)
{
    FormatConnexion = QStringLiteral("Provider=%1;Data Source=%2;Mode=ReadWrite;Jet OLEDB:Database Password=%3;"
                                     "Jet OLEDB:Encrypt Database=%4");
}

QString TAccessConnexionStrategie::ChaineConnexion() const
{
    const auto c = std::dynamic_pointer_cast<TVlADOConnexion>(Controleur.Connexion());
    return FormatConnexion.arg(Fournisseur, c ? c->NomBd() : QString(), c ? c->Mtps() : QString(),
                               Chiffrer ? QStringLiteral("True") : QStringLiteral("False"));
}

TExcelConnexionStrategie::TExcelConnexionStrategie(TControleurConnexion& controleur)
    : TADOConnexionStrategie(controleur, QStringLiteral("Excel"),
                             tr("Classeurs excel (xls, xlsx)|*.xls;*.xlsx"), vl::data::Format::Excel)
{
    FormatConnexion = QStringLiteral("Provider=%1;Data Source=%2;Extended Properties=Excel 12.0;");
}

QString TExcelConnexionStrategie::ChaineConnexion() const
{
    const auto c = std::dynamic_pointer_cast<TVlADOConnexion>(Controleur.Connexion());
    QString format = FormatConnexion;
    if (Fournisseur == FournisseurJet())
        format = QStringLiteral("Provider=%1;Data Source=%2;Extended Properties=Excel 8.0;");
    return format.arg(Fournisseur, c ? c->NomBd() : QString());
}

void TExcelConnexionStrategie::AfficherDefinition(bool nouvelle)
{
    // A workbook has no password.
    Controleur.Fenetres().AfficherDefinition(Controleur, true, nouvelle, false);
}

// ---------------------------------------------------------------- personal database

namespace {
TBasePersonnelle* g_basePersonnelle = nullptr;
}

TBasePersonnelle::~TBasePersonnelle()
{
    Desenregistrer(this);
}

TBasePersonnelle* TBasePersonnelle::Instance()
{
    return g_basePersonnelle;
}

void TBasePersonnelle::Enregistrer(TBasePersonnelle* base)
{
    g_basePersonnelle = base;
}

void TBasePersonnelle::Desenregistrer(TBasePersonnelle* base)
{
    if (g_basePersonnelle == base)
        g_basePersonnelle = nullptr;
}

TUserDBConnexionStrategie::TUserDBConnexionStrategie(TControleurConnexion& controleur)
    : TConnexionStrategie(controleur, QStringLiteral("User"))
{
    Libelles = {{QStringLiteral("Designation"), tr("Désignation")},
                {QStringLiteral("Description"), tr("Description")},
                {QStringLiteral("Categorie"), tr("Catégorie")},
                {QStringLiteral("Image"), tr("Image")},
                {QStringLiteral("Compteur"), tr("Compteur")}};
}

QString TUserDBConnexionStrategie::MessageIndisponible()
{
    return tr("La base de données personnelle n'est pas ouverte : ce programme ne l'a pas chargée");
}

TBasePersonnelle& TUserDBConnexionStrategie::Base() const
{
    TBasePersonnelle* base = TBasePersonnelle::Instance();
    if (!base)
        throw EConnexion(MessageIndisponible());
    return *base;
}

void TUserDBConnexionStrategie::Consulter()
{
    Base();
    Controleur.Fenetres().ConsulterBasePersonnelle(Controleur);
}

QString TUserDBConnexionStrategie::NomAffiche(const QString& champ)
{
    for (const auto& l : Libelles)
        if (l.first == champ)
            return l.second;
    return champ;
}

QString TUserDBConnexionStrategie::NomChamp(const QString& affiche)
{
    for (const auto& l : Libelles)
        if (l.second == affiche)
            return l.first;
    return affiche;
}

void TUserDBConnexionStrategie::CreerConnexion()
{
    TBasePersonnelle& base = Base();
    TConnexionStrategie::CreerConnexion();
    // The module's own query: only forgotten when the connection closes.
    Controleur.JeuDonnees = base.JeuDonneesPartage();
    if (const auto c = Controleur.Connexion())
        c->SetCompteurImpressions(QStringLiteral("Compteur"));
    base.RemplirNomsAffiches();
}

bool TUserDBConnexionStrategie::ChampCache(const QString& nom)
{
    return ChampsCaches.contains(nom);
}

void TUserDBConnexionStrategie::Ouvrir(bool consulter)
{
    Base();
    Controleur.Ouverte = true;
    TConnexionStrategie::Ouvrir(consulter);
}

void TUserDBConnexionStrategie::RazCompteur()
{
    Base().RazCompteurs();
}

// ---------------------------------------------------------------- controller

TControleurConnexion::TControleurConnexion(std::shared_ptr<vl::persistence::Connecteur> connecteur,
                                           TFenetresConnexion* fenetres, TDmIDE* ide)
    : m_connecteur(std::move(connecteur)), m_fenetres(fenetres ? fenetres : &m_fenetresDefaut), m_ide(ide)
{
    if (!m_ide) {
        m_ideInterne = std::make_unique<TDmIDE>(m_connecteur);
        m_ide = m_ideInterne.get();
    }
    const QString filtreAscii = tr("Fichiers Ascii (txt, csv)|*.txt;*.csv");
    Strategies.push_back(std::make_unique<TUserDBConnexionStrategie>(*this));
    Strategies.push_back(std::make_unique<TAsciiConnexionStrategie>(
        *this, QStringLiteral("Ascii délimité points virgules"), QLatin1Char(';'), QChar()));
    Strategies.push_back(std::make_unique<TAsciiConnexionStrategie>(
        *this, QStringLiteral("Ascii délimité points virgules guillemets"), QLatin1Char(';'), QLatin1Char('"')));
    Strategies.push_back(std::make_unique<TAsciiConnexionStrategie>(
        *this, QStringLiteral("Ascii délimité tabulations"), QLatin1Char('\t'), QChar()));
    Strategies.push_back(std::make_unique<TBDEConnexionStrategie>(
        *this, QStringLiteral("DBase"), QStringLiteral("ParamsDBase.txt"), QStringLiteral("dbf"),
        tr("Tables DBase (dbf)|*.dbf"), vl::data::Format::DBase));
    Strategies.push_back(std::make_unique<TBDEConnexionStrategie>(
        *this, QStringLiteral("Paradox"), QStringLiteral("ParamsParadox.txt"), QStringLiteral("db"),
        tr("Tables Paradox (db)|*.db"), vl::data::Format::Paradox));
    Strategies.push_back(std::make_unique<TAccessConnexionStrategie>(*this));
    Strategies.push_back(std::make_unique<TExcelConnexionStrategie>(*this));

    Pilotes = {{tr("Ascii délimité par des points-virgules"), Strategies[1].get()},
               {tr("Ascii délimité par des points-virgules avec guillemets"), Strategies[2].get()},
               {tr("Ascii délimité par des tabulations"), Strategies[3].get()},
               {tr("Base de données Dbase"), Strategies[4].get()},
               {tr("Base de données Paradox"), Strategies[5].get()},
               {tr("Base de données Access"), Strategies[6].get()},
               {tr("Base de données Excel"), Strategies[7].get()}};
    ActualiserSelecteur();
    g_instance = this;
}

TControleurConnexion::~TControleurConnexion()
{
    Fermer();
    m_selecteur.clear();
    if (g_instance == this)
        g_instance = nullptr;
}

TControleurConnexion* TControleurConnexion::Instance()
{
    return g_instance;
}

QString TControleurConnexion::DossierConnexions()
{
    return QDir(TDMConnexioIO::RacineInstallation()).filePath(QStringLiteral("Connexions")) + QLatin1Char('/');
}

QString TControleurConnexion::DossierParametres()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Connexions/");
}

void TControleurConnexion::ActualiserSelecteur()
{
    const QString id = ConnexionSelectionnee() ? ConnexionSelectionnee()->Id() : QString();
    m_selecteur = m_connecteur->Selectionner<TVlConnexion>(QStringLiteral("SELECT * FROM ANY TVLConnexion"));
    m_selection = m_selecteur.empty() ? -1 : 0;
    for (size_t i = 0; i < m_selecteur.size(); ++i)
        if (!id.isEmpty() && m_selecteur[i]->Id() == id)
            m_selection = int(i);
}

void TControleurConnexion::Selectionner(int index)
{
    m_selection = (index >= 0 && index < int(m_selecteur.size())) ? index : -1;
}

bool TControleurConnexion::SelectionnerParNom(const QString& nomConnexion)
{
    for (size_t i = 0; i < m_selecteur.size(); ++i)
        if (m_selecteur[i]->NomConnexion() == nomConnexion) {
            m_selection = int(i);
            return true;
        }
    return false;
}

std::shared_ptr<TVlConnexion> TControleurConnexion::ConnexionSelectionnee() const
{
    if (m_selection < 0 || m_selection >= int(m_selecteur.size()))
        return nullptr;
    return m_selecteur[size_t(m_selection)];
}

TConnexionStrategie* TControleurConnexion::StrategieNommee(const QString& nomStrategie) const
{
    for (const auto& s : Strategies)
        if (s->NomStrategie == nomStrategie)
            return s.get();
    return nullptr;
}

void TControleurConnexion::OublierBase()
{
    // A dataset shared with the personal database is only forgotten; it
    // belongs to that module. Ours is freed with the last holder.
    JeuDonnees.reset();
    Signet = {};
}

void TControleurConnexion::ChangerStrategie(TConnexionStrategie* s)
{
    if (Strategie && Strategie != s && JeuDonnees)
        OublierBase();
    Strategie = s;
}

TConnexionStrategie& TControleurConnexion::StrategieCourante() const
{
    if (!Strategie) {
        const QString nom = m_connexion ? m_connexion->NomStrategie() : QString();
        throw EConnexion(tr("Aucun pilote ne correspond au type de connexion « %1 »").arg(nom));
    }
    return *Strategie;
}

Dataset& TControleurConnexion::Donnees() const
{
    if (!JeuDonnees)
        throw EConnexion(tr("Aucune table n'est ouverte sur cette connexion"));
    return *JeuDonnees;
}

void TControleurConnexion::Ouvrir(const std::shared_ptr<TVlConnexion>& connexion, bool consulter)
{
    if (connexion) {
        m_connexion = connexion;
    } else {
        if (m_connexion)
            m_connexion->LibererAlias();
        m_connexion.reset();
        m_connexion = ConnexionSelectionnee();
        if (!m_connexion)
            throw EConnexion(tr("Aucune connexion n'est sélectionnée"));
    }
    m_connexion->LibererAlias();
    if (m_connexion->HasAlias())
        m_ide->ChargerAlias(*m_connexion);
    ChangerStrategie(StrategieNommee(m_connexion->NomStrategie()));
    StrategieCourante().CreerConnexion();
    StrategieCourante().Ouvrir(!connexion || consulter);
}

void TControleurConnexion::Fermer()
{
    Strategie = nullptr;
    Mode = 0;
    OublierBase();
    Ouverte = false;
    if (m_connexion)
        m_connexion->LibererAlias();
    m_connexion.reset();
}

bool TControleurConnexion::Creer()
{
    Mode = 1;
    bool ok = false;
    try {
        ok = m_fenetres->Editer(*this, true);
        if (ok && m_connexion) {
            m_connexion->Stocker();
            ActualiserSelecteur();
            for (size_t i = 0; i < m_selecteur.size(); ++i)
                if (m_selecteur[i]->Id() == m_connexion->Id())
                    m_selection = int(i);
        }
    } catch (...) {
        Fermer();
        throw;
    }
    if (ok && m_connexion) {
        Ouverte = true;
        Mode = 3;
        return true;
    }
    Fermer();
    return false;
}

void TControleurConnexion::AppliquerStrategieEtCreer()
{
    ChangerStrategie(StrategieNommee(m_connexion->NomStrategie()));
    StrategieCourante().CreerConnexion();
}

bool TControleurConnexion::Modifier()
{
    Mode = 2;
    bool ok = false;
    try {
        m_connexion = ConnexionSelectionnee();
        if (!m_connexion)
            throw EConnexion(tr("Aucune connexion n'est sélectionnée"));
        m_connexion->LibererAlias();
        if (m_connexion->HasAlias())
            m_ide->ChargerAlias(*m_connexion);
        AppliquerStrategieEtCreer();
        ok = StrategieCourante().Editer();
        if (ok) {
            m_connexion->Stocker();
            ActualiserSelecteur();
            Consulter();
        }
    } catch (...) {
        Fermer();
        throw;
    }
    if (!ok) {
        Fermer();
        return false;
    }
    Ouverte = true;
    Mode = 3;
    return true;
}

void TControleurConnexion::Supprimer()
{
    const auto c = ConnexionSelectionnee();
    if (!c)
        return;
    if (!m_fenetres->Confirmer(tr("Voulez-vous vraiment supprimer cette connexion ?")))
        return;
    if (m_connexion == c)
        Fermer();
    c->Supprimer();
    ActualiserSelecteur();
}

bool TControleurConnexion::ModificationPermise() const
{
    const auto c = ConnexionSelectionnee();
    return c && c->TypeConnexion() == 0;
}

void TControleurConnexion::ChoisirPilote(int index)
{
    if (index < 0 || index >= Pilotes.size())
        throw EConnexion(tr("Pilote inconnu"));
    ChangerStrategie(Pilotes[index].second);
    Strategie->CreerConnexion();
    Strategie->NouvelleConnexion();
    if (m_connexion)
        m_connexion->SetNomStrategie(Strategie->NomStrategie);
}

void TControleurConnexion::TableChoisie()
{
    StrategieCourante().TableChoisie();
}

void TControleurConnexion::ActualiserTables()
{
    if (!NomBdModifie)
        return;
    StrategieCourante().ListerTables();
    NomBdModifie = false;
}

void TControleurConnexion::RechargerSchema()
{
    auto* ascii = dynamic_cast<TAsciiConnexionStrategie*>(&StrategieCourante());
    if (!ascii)
        return;
    JeuDonnees.reset();
    ascii->AppliquerColonnes();
    ascii->OuvrirFichier();
}

void TControleurConnexion::ValiderSaisie()
{
    if (JeuDonnees && JeuDonnees->EnEdition())
        JeuDonnees->Valider();
}

void TControleurConnexion::Premier() { Donnees().Premier(); }
void TControleurConnexion::Suivant() { Donnees().Suivant(); }
void TControleurConnexion::Precedent() { Donnees().Precedent(); }
void TControleurConnexion::Dernier() { Donnees().Dernier(); }

bool TControleurConnexion::Debut() const
{
    return !JeuDonnees || JeuDonnees->Debut();
}

bool TControleurConnexion::Fin() const
{
    return !JeuDonnees || JeuDonnees->Fin();
}

void TControleurConnexion::PoserSignet()
{
    Signet = Donnees().PoserSignet();
}

void TControleurConnexion::RetourSignet()
{
    Donnees().RetourSignet(Signet);
    Signet = {};
}

bool TControleurConnexion::Localiser(const QString& champ, const QString& valeur)
{
    Dataset& d = Donnees();
    const int i = d.IndexChampExiste(champ);
    const vl::data::Signet avant = d.PoserSignet();
    for (d.Premier(); !d.Fin(); d.Suivant())
        if (d.Texte(i).startsWith(valeur, Qt::CaseInsensitive))
            return true;
    d.RetourSignet(avant);
    return false;
}

void TControleurConnexion::Consulter()
{
    StrategieCourante().Consulter();
}

namespace {
void VersAffiches(const TControleurConnexion& c, QStringList& reels, QStringList& liste)
{
    for (const QString& r : reels)
        liste << c.NomAffiche(r);
}
} // namespace

void TControleurConnexion::ListerChamps(QStringList& liste)
{
    QStringList r;
    StrategieCourante().ListerChamps(r);
    VersAffiches(*this, r, liste);
}

void TControleurConnexion::ListerChampsTexte(QStringList& liste)
{
    QStringList r;
    StrategieCourante().ListerChampsTexte(r);
    VersAffiches(*this, r, liste);
}

void TControleurConnexion::ListerChampsMemo(QStringList& liste)
{
    QStringList r;
    StrategieCourante().ListerChampsMemo(r);
    VersAffiches(*this, r, liste);
}

void TControleurConnexion::ListerChampsImage(QStringList& liste)
{
    QStringList r;
    StrategieCourante().ListerChampsImage(r);
    VersAffiches(*this, r, liste);
}

QString TControleurConnexion::NomAffiche(const QString& champ, bool sansAlias) const
{
    if (m_connexion && m_connexion->HasAlias() && !sansAlias) {
        const QString alias = m_connexion->AliasDuChamp(champ);
        if (!alias.isEmpty())
            return alias;
    }
    return Strategie ? Strategie->NomAffiche(champ) : champ;
}

QString TControleurConnexion::NomChampReel(const QString& affiche) const
{
    if (m_connexion && m_connexion->HasAlias()) {
        const QString champ = m_connexion->ChampDeAlias(affiche);
        if (!champ.isEmpty())
            return champ;
    }
    return Strategie ? Strategie->NomChamp(affiche) : affiche;
}

QString TControleurConnexion::Valeur(const QString& nom, bool brut) const
{
    if (brut)
        return Donnees().Texte(nom);
    TConnexionStrategie& s = StrategieCourante();
    return s.ValeurFormatee(s.NomChamp(nom));
}

QString TControleurConnexion::ValeurTexte(const QString& nom) const
{
    return StrategieCourante().ValeurTexte(nom);
}

bool TControleurConnexion::EstChampImage(const QString& nom) const
{
    return StrategieCourante().EstChampImage(nom);
}

void TControleurConnexion::ChargerImage(const QString& nom, QImage& image, bool brut) const
{
    StrategieCourante().ChargerImage(nom, image, brut);
}

bool TControleurConnexion::ChampEntier(const QString& champ)
{
    Dataset& d = Donnees();
    const int i = d.IndexChampExiste(champ);
    const vl::data::Signet avant = d.PoserSignet();
    const bool debut = d.Debut(), fin = d.Fin();
    bool entier = true;
    for (d.Premier(); !d.Fin(); d.Suivant()) {
        const QString texte = d.Texte(i).trimmed();
        if (texte.isEmpty())
            continue;
        bool ok = false;
        texte.toInt(&ok);
        if (!ok) {
            entier = false;
            break;
        }
    }
    d.RetourSignet(avant);
    if (debut && avant.Valide() && avant.index == 0)
        d.Premier();
    else if (fin && avant.Valide() && avant.index == d.NombreEnregistrements() - 1)
        d.Dernier();
    return entier;
}

void TControleurConnexion::RazCompteur()
{
    StrategieCourante().RazCompteur();
}

int TControleurConnexion::NombreCopies() const
{
    if (!m_connexion || m_connexion->CompteurImpressions().isEmpty())
        return 1;
    const QString texte = Valeur(m_connexion->CompteurImpressions(), true).trimmed();
    if (texte.isEmpty())
        return 0;
    bool ok = false;
    const int n = texte.toInt(&ok);
    return ok && n > 0 ? n : 0;
}
