#include "userdb/UserDb.h"

#include "connections/FieldsAliasControler.h"
#include "persistence/Dialecte.h"
#include "userdb/ChampsPersos.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

using vl::data::DefinitionChamp;
using vl::data::TypeChamp;

namespace {

QString Tr(const char* texte)
{
    return QCoreApplication::translate("TdmUserDb", texte);
}

std::atomic<int> g_numeroConnexion{0};

// Stored form of a value: booleans as 0/1, date-times as ISO text.
QVariant VersStockage(TypeChamp type, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (type) {
    case TypeChamp::Booleen: return v.toBool() ? 1 : 0;
    case TypeChamp::DateHeure: return v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    case TypeChamp::Binaire: return v.toByteArray();
    default: return v;
    }
}

// Value of a column as the dataset interface gives it.
QVariant DepuisStockage(TypeChamp type, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (type) {
    case TypeChamp::Booleen: return v.toInt() != 0 || v.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    case TypeChamp::Entier:
    case TypeChamp::AutoIncrement: return v.toInt();
    case TypeChamp::Flottant:
    case TypeChamp::Monnaie: return v.toDouble();
    case TypeChamp::DateHeure: {
        QDateTime dt = QDateTime::fromString(v.toString(), Qt::ISODate);
        if (!dt.isValid())
            return v.toString();
        dt.setTimeSpec(Qt::UTC);
        return dt;
    }
    case TypeChamp::Binaire: return v.toByteArray();
    default: return v.toString();
    }
}

} // namespace

DefinitionChamp DefinitionColonne(const QString& nom, const QString& typeDeclare, bool cle)
{
    DefinitionChamp d;
    d.nom = nom;
    const QString t = typeDeclare.toUpper();
    if (cle) {
        d.type = TypeChamp::AutoIncrement;
    } else if (t.contains(QLatin1String("MEMO"))) {
        d.type = TypeChamp::Memo;
    } else if (t.contains(QLatin1String("CURRENCY"))) {
        d.type = TypeChamp::Monnaie;
        d.decimales = 4;
    } else if (t.contains(QLatin1String("DATE"))) {
        d.type = TypeChamp::DateHeure;
    } else if (t.contains(QLatin1String("BOOL"))) {
        d.type = TypeChamp::Booleen;
    } else if (t.contains(QLatin1String("INT"))) {
        d.type = TypeChamp::Entier;
    } else if (t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA"))) {
        d.type = TypeChamp::Flottant;
    } else if (t.contains(QLatin1String("BLOB")) || t.contains(QLatin1String("BINARY")) || t.contains(QLatin1String("IMAGE"))) {
        d.type = TypeChamp::Binaire;
    } else {
        // Text: a size in brackets, 255 characters without one.
        d.type = TypeChamp::ChaineLarge;
        d.taille = 255;
        const int ouvre = t.indexOf(QLatin1Char('(')), ferme = t.indexOf(QLatin1Char(')'));
        if (ouvre > 0 && ferme > ouvre) {
            bool ok = false;
            const int n = t.mid(ouvre + 1, ferme - ouvre - 1).trimmed().toInt(&ok);
            if (ok && n > 0)
                d.taille = n;
        }
    }
    return d;
}

// ---------------------------------------------------------------- TRequeteBd

TRequeteBd::TRequeteBd(TdmBd& module, const QString& fichier, const QString& table)
    : vl::data::Dataset(fichier, table), m_module(&module)
{
}

TdmBd& TRequeteBd::Module() const
{
    if (!m_module)
        throw EUserDb(Tr("La base de données personnelle %1 est fermée").arg(QDir::toNativeSeparators(Fichier())), Fichier());
    return *m_module;
}

void TRequeteBd::Charger(QList<DefinitionChamp> champs, QList<QList<QVariant>> lignes, bool modifiable,
                         const QString& raison)
{
    m_lignes = std::move(lignes);
    DefinirModifiable(modifiable, raison);
    Initialiser(std::move(champs), int(m_lignes.size()));
}

void TRequeteBd::AjouterLigne(const QList<QVariant>& ligne)
{
    m_lignes.append(ligne);
    Initialiser(Champs(), int(m_lignes.size()));
    AllerA(int(m_lignes.size()));
}

void TRequeteBd::Vider()
{
    m_lignes.clear();
    Initialiser(Champs(), 0);
}

void TRequeteBd::Rafraichir()
{
    // Re-reading from the file is the module's requery, on the same record.
    Module().RouvrirSur(Module().IdCourant());
}

QList<QVariant> TRequeteBd::LireEnregistrement(int index) const
{
    if (index < 0 || index >= m_lignes.size())
        return {};
    return m_lignes[index];
}

QVariant TRequeteBd::VerifierValeur(int champ, const QVariant& valeur) const
{
    const DefinitionChamp& d = Champs()[champ];
    if (!valeur.isValid() || valeur.isNull())
        return QVariant();
    auto refuser = [&](const QString& message) -> QVariant { throw EUserDb(message, Fichier()); };
    switch (d.type) {
    case TypeChamp::AutoIncrement:
        return refuser(Tr("Le champ %1 est attribué par la base de données et ne peut pas être modifié").arg(d.nom));
    case TypeChamp::Booleen:
        return valeur.toBool();
    case TypeChamp::Entier:
    case TypeChamp::Flottant:
    case TypeChamp::Monnaie: {
        bool ok = false;
        double v = 0;
        if (valeur.typeId() == QMetaType::QString) {
            const QString texte = valeur.toString().trimmed();
            if (texte.isEmpty())
                return QVariant();
            v = QLocale::system().toDouble(texte, &ok);
            if (!ok)
                v = QLocale::c().toDouble(texte, &ok);
        } else {
            v = valeur.toDouble(&ok);
        }
        if (!ok)
            return refuser(Tr("« %1 » n'est pas un nombre valide pour le champ %2").arg(valeur.toString(), d.nom));
        if (d.type == TypeChamp::Entier) {
            if (v != double(qint64(v)) || v > 2147483647.0 || v < -2147483648.0)
                return refuser(Tr("Le champ %1 attend un nombre entier").arg(d.nom));
            return int(v);
        }
        return v;
    }
    case TypeChamp::DateHeure: {
        if (valeur.typeId() == QMetaType::QDateTime)
            return valeur;
        if (valeur.typeId() == QMetaType::QDate)
            return QDateTime(valeur.toDate(), QTime(0, 0), Qt::UTC);
        const QString texte = valeur.toString().trimmed();
        if (texte.isEmpty())
            return QVariant();
        QDateTime dt = QDateTime::fromString(texte, Qt::ISODate);
        if (!dt.isValid())
            dt = QLocale::system().toDateTime(texte, QLocale::ShortFormat);
        if (!dt.isValid()) {
            const QDate jour = QLocale::system().toDate(texte, QLocale::ShortFormat);
            if (jour.isValid())
                dt = QDateTime(jour, QTime(0, 0));
        }
        if (!dt.isValid())
            return refuser(Tr("« %1 » n'est pas une date valide pour le champ %2").arg(texte, d.nom));
        dt.setTimeSpec(Qt::UTC);
        return dt;
    }
    case TypeChamp::Binaire:
        return valeur.toByteArray();
    case TypeChamp::ChaineLarge: {
        const QString texte = valeur.toString();
        if (d.taille > 0 && texte.size() > d.taille)
            return refuser(Tr("Le champ %1 n'accepte que %2 caractères au plus").arg(d.nom).arg(d.taille));
        return texte;
    }
    default:
        return valeur.toString();
    }
}

void TRequeteBd::EcrireEnregistrement(int index, const QHash<int, QVariant>& valeurs)
{
    if (index < 0 || index >= m_lignes.size() || valeurs.isEmpty())
        return;
    const int cle = IndexChamp(QStringLiteral("Id"));
    if (cle < 0)
        throw EUserDb(Tr("La table %1 n'a pas de clé Id : impossible d'enregistrer").arg(NomTable()), Fichier());
    QStringList affectations;
    QVariantList parametres;
    QList<int> colonnes = valeurs.keys();
    std::sort(colonnes.begin(), colonnes.end());
    for (int c : colonnes) {
        affectations << TdmBd::Identifiant(Champs()[c].nom) + QStringLiteral(" = ?");
        parametres << VersStockage(Champs()[c].type, valeurs.value(c));
    }
    parametres << m_lignes[index].value(cle);
    Module().Executer(QStringLiteral("UPDATE ") + TdmBd::Identifiant(NomTable()) + QStringLiteral(" SET ")
                          + affectations.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ")
                          + TdmBd::Identifiant(QStringLiteral("Id")) + QStringLiteral(" = ?"),
                      parametres);
    for (int c : colonnes)
        m_lignes[index][c] = valeurs.value(c);
}

// ---------------------------------------------------------------- TdmBd

TdmBd::TdmBd(const QString& fichier)
    : m_nomConnexion(QStringLiteral("vl_userdb_%1").arg(++g_numeroConnexion)), m_fichier(fichier)
{
    // The module's creation handler: all records shown, empty lists, no filter.
    AfficherTout = true;
    Table = QStringLiteral("Articles");
    m_requete = std::make_shared<TRequeteBd>(*this, fichier, Table);
}

TdmBd::~TdmBd()
{
    m_requete->Vider();
    m_requete->Detacher();
    {
        QSqlDatabase base = QSqlDatabase::database(m_nomConnexion, false);
        if (base.isValid())
            base.close();
    }
    QSqlDatabase::removeDatabase(m_nomConnexion);
}

QString TdmBd::tr(const char* texte) const
{
    return Tr(texte);
}

QSqlDatabase TdmBd::Base() const
{
    return QSqlDatabase::database(m_nomConnexion, false);
}

QString TdmBd::Identifiant(const QString& nom)
{
    QString n = nom;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

void TdmBd::ErreurSql(const QString& operation, const QString& detail) const
{
    throw EUserDb(tr("Base de données personnelle %1 : %2 impossible (%3)").arg(QDir::toNativeSeparators(m_fichier), operation, detail),
                  m_fichier);
}

void TdmBd::Initialiser()
{
    Ouvrir();
}

void TdmBd::Ouvrir()
{
    const QFileInfo info(m_fichier);
    if (!info.exists())
        throw EUserDb(tr("La base de données personnelle %1 est introuvable").arg(QDir::toNativeSeparators(m_fichier)),
                      m_fichier);
    if (!info.isFile() || !info.isReadable())
        throw EUserDb(tr("La base de données personnelle %1 ne peut pas être lue").arg(QDir::toNativeSeparators(m_fichier)),
                      m_fichier);
    m_lectureSeule = !info.isWritable();
    if (!QSqlDatabase::contains(m_nomConnexion)) {
        QSqlDatabase base = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nomConnexion);
        base.setDatabaseName(m_fichier);
        if (m_lectureSeule)
            base.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    QSqlDatabase base = Base();
    if (!base.isOpen()) {
        if (!base.open())
            ErreurSql(tr("ouverture"), base.lastError().text());
        // The French text order of the store sorts designations and categories.
        vl::persistence::Dialecte::Pour(QStringLiteral("QSQLITE"))->Preparer(base);
    }
    QSqlQuery verif(base);
    verif.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"));
    verif.addBindValue(Table);
    if (!verif.exec() || !verif.next())
        throw EUserDb(tr("Le fichier %1 n'est pas une base de données personnelle lisible (%2)")
                          .arg(QDir::toNativeSeparators(m_fichier), verif.lastError().text()),
                      m_fichier);
    if (verif.value(0).toInt() == 0)
        throw EUserDb(tr("Le fichier %1 n'est pas une base de données personnelle : la table %2 est absente")
                          .arg(QDir::toNativeSeparators(m_fichier), Table),
                      m_fichier);
    m_ouverte = true;
    Requeter();
}

// Prepares sql with its values bound in order and runs it; quoi names the
// kind of statement in the error message.
void TdmBd::Lancer(QSqlQuery& q, const QString& sql, const QVariantList& valeurs, const QString& quoi) const
{
    if (!q.prepare(sql))
        ErreurSql(quoi, q.lastError().text());
    for (const QVariant& v : valeurs)
        q.addBindValue(v);
    if (!q.exec())
        ErreurSql(quoi, q.lastError().text());
}

void TdmBd::Executer(const QString& sql, const QVariantList& valeurs) const
{
    QSqlQuery q(Base());
    Lancer(q, sql, valeurs, tr("la commande"));
}

QList<QList<QVariant>> TdmBd::Lire(const QString& sql, const QVariantList& valeurs) const
{
    QSqlQuery q(Base());
    q.setForwardOnly(true);
    Lancer(q, sql, valeurs, tr("la lecture"));
    QList<QList<QVariant>> lignes;
    const int n = q.record().count();
    while (q.next()) {
        QList<QVariant> ligne;
        ligne.reserve(n);
        for (int i = 0; i < n; ++i)
            ligne << (q.isNull(i) ? QVariant() : q.value(i));
        lignes << ligne;
    }
    return lignes;
}

QList<DefinitionChamp> TdmBd::ColonnesTable() const
{
    QList<DefinitionChamp> champs;
    for (const auto& l : Lire(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"), {Table}))
        champs << DefinitionColonne(l.value(0).toString(), l.value(1).toString(), l.value(2).toInt() > 0);
    return champs;
}

QString TdmBd::ClauseWhere() const
{
    if (AfficherTout)
        return ClauseFiltre;
    const QString selection = Identifiant(QStringLiteral("Selected")) + QStringLiteral(" = true ");
    if (!ClauseFiltre.isEmpty())
        return ClauseFiltre + QStringLiteral(" and ") + selection;
    return QStringLiteral(" where ") + selection;
}

QString TdmBd::Commande() const
{
    return QStringLiteral("select * from ") + Identifiant(Table) + ClauseWhere() + ClauseTri;
}

void TdmBd::Requeter()
{
    if (!m_ouverte)
        throw EUserDb(tr("La base de données personnelle %1 n'est pas ouverte").arg(QDir::toNativeSeparators(m_fichier)),
                      m_fichier);
    const QList<DefinitionChamp> champs = ColonnesTable();
    QList<QList<QVariant>> lignes = Lire(Commande(), ParametresFiltre);
    for (auto& l : lignes)
        for (int i = 0; i < l.size() && i < champs.size(); ++i)
            l[i] = DepuisStockage(champs[i].type, l[i]);
    m_requete->Charger(champs, std::move(lignes), !m_lectureSeule,
                       tr("le fichier de la base de données personnelle est en lecture seule"));
}

QVariant TdmBd::IdCourant() const
{
    if (m_requete->EstVide() || m_requete->IndexChamp(QStringLiteral("Id")) < 0)
        return QVariant();
    return m_requete->Valeur(QStringLiteral("Id"));
}

bool TdmBd::AllerAId(const QVariant& id)
{
    if (!id.isValid())
        return false;
    const int cle = m_requete->IndexChamp(QStringLiteral("Id"));
    if (cle < 0)
        return false;
    const auto& lignes = m_requete->Lignes();
    for (int i = 0; i < lignes.size(); ++i)
        if (lignes[i].value(cle) == id) {
            m_requete->AllerA(i + 1);
            return true;
        }
    return false;
}

void TdmBd::RouvrirSur(const QVariant& id)
{
    Requeter();
    AllerAId(id);
}

void TdmBd::Fermer()
{
    m_requete->Annuler();
    m_requete->Vider();
}

void TdmBd::RequeterGardantEnregistrement()
{
    RouvrirSur(IdCourant());
}

void TdmBd::ValiderSaisie()
{
    if (!m_requete->EnEdition())
        return;
    m_requete->Valider();
    // After a post: a record that left the filter clears it and stays current.
    Actualiser();
}

void TdmBd::Rouvrir()
{
    ValiderSaisie();
    RequeterGardantEnregistrement();
}

void TdmBd::Actualiser()
{
    const QVariant id = IdCourant();
    Requeter();
    if (AllerAId(id) || !id.isValid())
        return;
    if (!ClauseFiltre.isEmpty()) {
        Filtrer(std::nullopt, false);
        Requeter();
        AllerAId(id);
    }
}

void TdmBd::Nouveau()
{
    ValiderSaisie();
    // The new row is written at once so that the database gives its key; it
    // stays in the result until the next requery, whatever the filter.
    QSqlQuery q(Base());
    q.prepare(QStringLiteral("INSERT INTO ") + Identifiant(Table) + QStringLiteral(" (")
              + Identifiant(QStringLiteral("Compteur")) + QStringLiteral(") VALUES (NULL)"));
    if (!q.exec())
        ErreurSql(tr("l'ajout d'un enregistrement"), q.lastError().text());
    const QVariant id = q.lastInsertId();
    const QList<QList<QVariant>> lignes =
        Lire(QStringLiteral("select * from ") + Identifiant(Table) + QStringLiteral(" where ")
                 + Identifiant(QStringLiteral("Id")) + QStringLiteral(" = ?"),
             {id});
    if (lignes.isEmpty()) {
        Requeter();
        return;
    }
    QList<QVariant> ligne = lignes.first();
    const auto& champs = m_requete->Champs();
    for (int i = 0; i < ligne.size() && i < champs.size(); ++i)
        ligne[i] = DepuisStockage(champs[i].type, ligne[i]);
    m_requete->AjouterLigne(ligne);
}

void TdmBd::Supprimer()
{
    m_requete->Annuler();
    if (m_requete->EstVide())
        return;
    const int numero = m_requete->NumeroEnregistrement();
    Executer(QStringLiteral("DELETE FROM ") + Identifiant(Table) + QStringLiteral(" WHERE ")
                 + Identifiant(QStringLiteral("Id")) + QStringLiteral(" = ?"),
             {IdCourant()});
    Requeter();
    // The record that took its place, or the new last one.
    if (!m_requete->EstVide())
        m_requete->AllerA(qMin(numero, m_requete->NombreEnregistrements()));
}

void TdmBd::BasculerSelection()
{
    if (m_requete->EstVide())
        return;
    const QVariant v = m_requete->Valeur(QStringLiteral("Selected"));
    m_requete->Modifier(QStringLiteral("Selected"), !v.isValid() ? true : !v.toBool());
    ValiderSaisie();
}

void TdmBd::SelectionnerTout(bool valeur)
{
    ValiderSaisie();
    Executer(QStringLiteral("Update ") + Identifiant(Table) + (valeur ? QStringLiteral(" set Selected = True")
                                                                       : QStringLiteral(" set Selected = False"))
                 + ClauseFiltre,
             ParametresFiltre);
    RequeterGardantEnregistrement();
}

void TdmBd::RazSelection()
{
    ValiderSaisie();
    Executer(QStringLiteral("Update ") + Identifiant(Table) + QStringLiteral(" set Selected = False"));
    RequeterGardantEnregistrement();
}

void TdmBd::RazCompteurs()
{
    ValiderSaisie();
    Executer(QStringLiteral("Update ") + Identifiant(Table) + QStringLiteral(" set Compteur = Null"));
    RequeterGardantEnregistrement();
}

void TdmBd::Trier(const QStringList& champs)
{
    const QList<DefinitionChamp> colonnes = ColonnesTable();
    QStringList pieces;
    for (const QString& c : champs) {
        bool connu = false;
        for (const auto& d : colonnes)
            connu = connu || d.nom.compare(c, Qt::CaseInsensitive) == 0;
        if (!connu)
            throw EUserDb(tr("Impossible de trier sur %1 : ce champ n'existe pas").arg(c), m_fichier);
        pieces << Identifiant(c) + QStringLiteral(" COLLATE VLTEXTE");
    }
    ChampsTri = champs;
    ClauseTri = pieces.isEmpty() ? QString() : QStringLiteral(" order by ") + pieces.join(QStringLiteral(", "));
    Rouvrir();
}

void TdmBd::Filtrer(const std::optional<TFiltreItem>& item, bool rouvrir)
{
    if (item) {
        bool connu = false;
        for (const auto& d : ColonnesTable())
            connu = connu || d.nom.compare(item->Champ, Qt::CaseInsensitive) == 0;
        if (!connu)
            throw EUserDb(tr("Impossible de filtrer sur %1 : ce champ n'existe pas").arg(item->Champ), m_fichier);
        if (!item->Valeur.isValid() || item->Valeur.isNull()) {
            ClauseFiltre = QStringLiteral(" where ") + Identifiant(item->Champ) + QStringLiteral(" is null ");
            ParametresFiltre.clear();
        } else {
            // Records name their category by value: compared as Jet does, ignoring case.
            ClauseFiltre = QStringLiteral(" where ") + Identifiant(item->Champ) + QStringLiteral(" = ? COLLATE NOCASE ");
            ParametresFiltre = {item->Valeur.toString()};
        }
    } else {
        ClauseFiltre.clear();
        ParametresFiltre.clear();
    }
    if (rouvrir)
        Rouvrir();
}

void TdmBd::SetAfficherTout(bool valeur)
{
    AfficherTout = valeur;
    Rouvrir();
}

void TdmBd::LireImage(QImage& image) const
{
    if (m_requete->EstVide() || m_requete->EstNull(QStringLiteral("Image"))) {
        image = QImage();
        return;
    }
    image = DecoderJpeg(m_requete->Blob(QStringLiteral("Image")));
}

void TdmBd::EcrireImage(const QString& fichier)
{
    QFile f(fichier);
    if (!f.exists() || m_requete->EstVide())
        return;
    if (!f.open(QIODevice::ReadOnly))
        throw EUserDb(tr("Le fichier %1 ne peut pas être lu").arg(QDir::toNativeSeparators(fichier)), fichier);
    const QByteArray octets = f.readAll();
    m_requete->Modifier(QStringLiteral("Image"), QVariant());
    m_requete->Modifier(QStringLiteral("Image"), octets);
}

void TdmBd::EffacerImage()
{
    if (!m_requete->EstVide())
        m_requete->Modifier(QStringLiteral("Image"), QVariant());
}

bool TdmBd::AImage() const
{
    return !m_requete->EstVide() && !m_requete->EstNull(QStringLiteral("Image"));
}

bool TdmBd::EstVide() const
{
    return m_requete->EstVide();
}

bool TdmBd::Chercher(const QString& texte)
{
    ValiderSaisie();
    const int champ = m_requete->IndexChamp(QStringLiteral("Designation"));
    if (champ < 0)
        return false;
    const auto& lignes = m_requete->Lignes();
    for (int i = 0; i < lignes.size(); ++i)
        if (lignes[i].value(champ).toString().startsWith(texte, Qt::CaseInsensitive)) {
            m_requete->AllerA(i + 1);
            return true;
        }
    return false;
}

QString TdmBd::TexteMonetaire(const QString& champ, bool affichage) const
{
    const QVariant v = m_requete->Valeur(champ);
    if (!v.isValid())
        return QString();
    if (!affichage)
        return m_requete->Texte(champ);
    const QLocale systeme = QLocale::system();
    return systeme.toCurrencyString(v.toDouble(), systeme.currencySymbol());
}

// ---------------------------------------------------------------- TdmUserDb

TdmUserDb::TdmUserDb(const QString& fichier, TControleurConnexion* controleur)
    : TdmBd(fichier), m_controleur(controleur)
{
    Initialiser();
}

TdmUserDb::~TdmUserDb()
{
    TBasePersonnelle::Desenregistrer(this);
    LibererControleurs();
}

QString TdmUserDb::CheminParDefaut()
{
    const QByteArray racine = qgetenv("VELLUMAR_ROOT");
    if (!racine.isEmpty())
        return QDir(QString::fromLocal8Bit(racine)).filePath(QStringLiteral("bin/system/UserDb.dat"));
    return QCoreApplication::applicationDirPath() + QStringLiteral("/system/UserDb.dat");
}

TdmUserDb* TdmUserDb::Instance()
{
    return dynamic_cast<TdmUserDb*>(TBasePersonnelle::Instance());
}

void TdmUserDb::Initialiser()
{
    ChampsTri = {ChampCategorie, ChampDesignation};
    ChampsStandard = {QStringLiteral("Id"), QStringLiteral("Selected"), ChampDesignation, ChampCategorie,
                      QStringLiteral("Description"), QStringLiteral("Image"), QStringLiteral("Compteur")};
    ClauseTri = QStringLiteral(" Order by ") + Identifiant(ChampCategorie) + QStringLiteral(" COLLATE VLTEXTE, ")
              + Identifiant(ChampDesignation) + QStringLiteral(" COLLATE VLTEXTE");
    Ouvrir();
}

void TdmUserDb::Ouvrir()
{
    TdmBd::Ouvrir();
}

TControleurConnexion* TdmUserDb::Controleur() const
{
    return m_controleur ? m_controleur : TControleurConnexion::Instance();
}

void TdmUserDb::ListeFiltres(QList<TEntreeFiltre>& filtres, const QStringList& categories) const
{
    filtres.clear();
    filtres.append({tr("Pas de filtre"), std::nullopt});
    for (const QString& c : categories) {
        if (c.trimmed().isEmpty())
            filtres.append({tr("Sans catégorie"), TFiltreItem{ChampCategorie, QVariant()}});
        else
            filtres.append({c, TFiltreItem{ChampCategorie, c}});
    }
}

QString TdmUserDb::NomAffiche(const QString& colonne) const
{
    TControleurConnexion* c = Controleur();
    if (c && c->Connexion() && c->Connexion()->NomStrategie() == QLatin1String("User"))
        return c->NomAffiche(colonne, false);
    for (const auto& n : NomsAffiches)
        if (n.first == colonne)
            return n.second;
    return colonne;
}

void TdmUserDb::RemplirNomsAffiches()
{
    TControleurConnexion* c = Controleur();
    TConnexionStrategie* s = c ? c->StrategieNommee(QStringLiteral("User")) : nullptr;
    for (const QString& colonne : {ChampCategorie, ChampDesignation, QStringLiteral("Description"), QStringLiteral("Image")}) {
        const QString nom = s ? s->NomAffiche(colonne) : colonne;
        bool trouve = false;
        for (auto& n : NomsAffiches)
            if (n.first == colonne) {
                n.second = nom;
                trouve = true;
            }
        if (!trouve)
            NomsAffiches.append({colonne, nom});
    }
}

void TdmUserDb::CreerControleurs()
{
    LibererControleurs();
    m_champsPersos = std::make_unique<TCustomFieldsControler>(*this);
    m_categories = std::make_unique<TCategoriesControler>(*this);
    if (TControleurConnexion* c = Controleur())
        m_alias = std::make_unique<TFieldsAliasControler>(*c, NomsAffiches);
}

void TdmUserDb::LibererControleurs()
{
    m_alias.reset();
    m_categories.reset();
    m_champsPersos.reset();
}
