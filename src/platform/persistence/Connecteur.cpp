#include "Connecteur.h"
#include "RequeteObjet.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace vl::persistence {

namespace {

QString Tr(const char* t) { return QCoreApplication::translate("Persistance", t); }

const QString kId = QStringLiteral("_Id");
const QString kClasse = QStringLiteral("_Classe");
const QChar kSeparateur = QLatin1Char(';');

QVariant TexteNul() { return QVariant(QMetaType(QMetaType::QString)); }

QStringList Identites(const QVariant& v)
{
    const QString s = v.toString();
    return s.isEmpty() ? QStringList() : s.split(kSeparateur, Qt::SkipEmptyParts);
}

QVariant LireColonne(const Attribut& a, const QVariant& v)
{
    switch (a.type) {
    case TypeAttribut::Chaine:
    case TypeAttribut::Memo: return v.isNull() ? QString() : v.toString();
    case TypeAttribut::Entier: return v.toInt();
    case TypeAttribut::Reel: return v.toDouble();
    case TypeAttribut::Booleen: return v.toInt() != 0;
    case TypeAttribut::Blob: return v.isNull() ? QByteArray() : v.toByteArray();
    default: return v;
    }
}

void MarquerNonStocke(ObjetPersistant& o)
{
    o.MarquerStocke(o.Id(), false);
    for (const Attribut* a : o.Classe().Attributs())
        if (a->EstPartie())
            for (const ObjetPtr& p : o.Parties(*a))
                if (p)
                    MarquerNonStocke(*p);
}

} // namespace

Connecteur::Connecteur(const QString& fichier, const QString& pilote)
    : m_fichier(fichier),
      m_nomConnexion(QStringLiteral("vellumar-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      m_dialecte(Dialecte::Pour(pilote))
{
}

std::shared_ptr<Connecteur> Connecteur::Ouvrir(const QString& fichier, Mode mode, const QString& pilote)
{
    const QFileInfo info(fichier);
    const QString dossier = QDir::toNativeSeparators(info.absolutePath());
    if (!info.absoluteDir().exists())
        throw Erreur(Tr("Impossible d'ouvrir la base de documents : le dossier « %1 » n'existe pas.").arg(dossier));
    if (mode == Mode::Existant && !info.exists())
        throw Erreur(Tr("Impossible d'ouvrir la base de documents : le fichier « %1 » est absent du dossier « %2 ».")
                         .arg(info.fileName(), dossier));
    std::shared_ptr<Connecteur> c(new Connecteur(fichier, pilote));
    {
        QSqlDatabase base = QSqlDatabase::addDatabase(pilote, c->m_nomConnexion);
        base.setDatabaseName(fichier);
        if (!base.open())
            throw Erreur(Tr("Impossible d'ouvrir la base de documents du dossier « %1 » : %2")
                             .arg(dossier, base.lastError().text()));
        c->m_dialecte->Preparer(base);
    }
    try {
        c->CreerSchema();
    } catch (const Erreur& e) {
        throw Erreur(Tr("Impossible d'ouvrir la base de documents du dossier « %1 » : %2").arg(dossier, e.Message()));
    }
    return c;
}

Connecteur::~Connecteur() { Fermer(); }

void Connecteur::Fermer()
{
    qDeleteAll(m_preparees);
    m_preparees.clear();
    if (QSqlDatabase::contains(m_nomConnexion)) {
        {
            QSqlDatabase base = QSqlDatabase::database(m_nomConnexion, false);
            if (base.isOpen())
                base.close();
        }
        QSqlDatabase::removeDatabase(m_nomConnexion);
    }
}

bool Connecteur::EstOuvert() const
{
    return QSqlDatabase::contains(m_nomConnexion) && QSqlDatabase::database(m_nomConnexion, false).isOpen();
}

QSqlDatabase Connecteur::Base() const
{
    if (!QSqlDatabase::contains(m_nomConnexion))
        throw Erreur(Tr("La base de documents est fermée."));
    return QSqlDatabase::database(m_nomConnexion, false);
}

QString Connecteur::NouvelId() const
{
    return QString::fromLatin1(QUuid::createUuid().toRfc4122().toHex()).toUpper();
}

void Connecteur::CreerSchema()
{
    Transaction t(*this);
    QSet<QString> faites;
    QSqlDatabase base = Base();
    const QStringList existantes = base.tables();
    auto existe = [&](const QString& table) {
        for (const QString& e : existantes)
            if (e.compare(table, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    for (const ClassePersistante* classe : Registre::Global().Classes()) {
        for (const ClassePersistante* k : classe->Lignee()) {
            if (faites.contains(k->Nom()))
                continue;
            faites.insert(k->Nom());
            const QString table = k->NomTable();
            if (!existe(table)) {
                QStringList colonnes;
                colonnes << m_dialecte->Identifiant(kId) + QLatin1Char(' ') + m_dialecte->TypeIdentite() + QStringLiteral(" PRIMARY KEY")
                         << m_dialecte->Identifiant(kClasse) + QStringLiteral(" VARCHAR(64) NOT NULL");
                for (const Attribut& a : k->AttributsPropres())
                    colonnes << m_dialecte->Identifiant(a.nomStockage) + QLatin1Char(' ') + m_dialecte->TypeColonne(a);
                QSqlQuery q(base);
                if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(m_dialecte->Identifiant(table), colonnes.join(QStringLiteral(", ")))))
                    throw Erreur(Tr("création de la table %1 : %2").arg(table, q.lastError().text()));
                continue;
            }
            // An older store may lack columns added since: add them empty.
            const QSqlRecord presentes = base.record(table);
            for (const Attribut& a : k->AttributsPropres()) {
                if (presentes.indexOf(a.nomStockage) >= 0)
                    continue;
                QSqlQuery q(base);
                if (!q.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                .arg(m_dialecte->Identifiant(table), m_dialecte->Identifiant(a.nomStockage), m_dialecte->TypeColonne(a))))
                    throw Erreur(Tr("ajout de la colonne %1.%2 : %3").arg(table, a.nomStockage, q.lastError().text()));
            }
        }
    }
    t.Valider();
}

QSqlQuery& Connecteur::Preparee(const QString& sql)
{
    auto it = m_preparees.find(sql);
    if (it != m_preparees.end())
        return **it;
    auto* q = new QSqlQuery(Base());
    if (!q->prepare(sql)) {
        const QString e = q->lastError().text();
        delete q;
        throw Erreur(Tr("Erreur de la base de données : %1 (%2)").arg(e, sql));
    }
    m_preparees.insert(sql, q);
    return *q;
}

void Connecteur::Executer(QSqlQuery& q, const QString& quoi)
{
    if (!q.exec()) {
        const QString e = q.lastError().text();
        q.finish();
        throw Erreur(Tr("Erreur de la base de données (%1) : %2").arg(quoi, e));
    }
}

void Connecteur::Stocker(ObjetPersistant& objet)
{
    Transaction t(*this);
    Ecrire(objet);
    t.Valider();
}

void Connecteur::Ecrire(ObjetPersistant& objet)
{
    const ClassePersistante& classe = objet.Classe();
    if (classe.EstAbstraite())
        throw Erreur(Tr("La classe %1 est abstraite : ses objets ne s'enregistrent pas.").arg(classe.Nom()));
    if (objet.LeConnecteur().get() != this)
        objet.AttacherConnecteur(shared_from_this());
    QString id = objet.Id();
    if (id.isEmpty()) {
        id = NouvelId();
        objet.MarquerStocke(id, false);
    }

    // Parts first, so that their identities exist; parts dropped from the
    // owner since the last write leave the store.
    for (const Attribut* a : classe.Attributs()) {
        if (!a->EstPartie())
            continue;
        const QStringList anciennes = IdsParties(id, classe, *a);
        QStringList actuelles;
        for (const ObjetPtr& p : objet.Parties(*a))
            if (p) {
                Ecrire(*p);
                actuelles << p->Id();
            }
        const ClassePersistante* cible = Registre::Global().Chercher(a->classeCible);
        for (const QString& ancienne : anciennes)
            if (!actuelles.contains(ancienne) && cible)
                SupprimerParId(ancienne, *cible);
    }

    for (const ClassePersistante* k : classe.Lignee()) {
        const QString table = m_dialecte->Identifiant(k->NomTable());
        QSqlQuery& suppression = Preparee(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, m_dialecte->Identifiant(kId)));
        suppression.addBindValue(id);
        Executer(suppression, Tr("écriture de %1").arg(k->NomTable()));

        QStringList colonnes{m_dialecte->Identifiant(kId), m_dialecte->Identifiant(kClasse)};
        QStringList marques{QStringLiteral("?"), QStringLiteral("?")};
        for (const Attribut& a : k->AttributsPropres()) {
            colonnes << m_dialecte->Identifiant(a.nomStockage);
            marques << QStringLiteral("?");
        }
        QSqlQuery& insertion = Preparee(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                            .arg(table, colonnes.join(QStringLiteral(", ")), marques.join(QStringLiteral(", "))));
        insertion.addBindValue(id);
        insertion.addBindValue(classe.Nom());
        for (const Attribut& a : k->AttributsPropres()) {
            QVariant v;
            if (a.EstPartie()) {
                QStringList ids;
                for (const ObjetPtr& p : objet.Parties(a))
                    if (p)
                        ids << p->Id();
                v = ids.isEmpty() ? TexteNul() : QVariant(ids.join(kSeparateur));
            } else if (a.EstReference()) {
                QStringList ids;
                for (const Lien& l : objet.Liens(a)) {
                    const QString cible = l.Identite();
                    if (cible.isEmpty())
                        throw Erreur(Tr("« %1 » désigne un objet qui n'a pas encore été enregistré.").arg(a.nom));
                    ids << cible;
                }
                v = ids.isEmpty() ? TexteNul() : QVariant(ids.join(kSeparateur));
            } else if (a.type == TypeAttribut::Booleen) {
                v = objet.Scalaire(a).toBool() ? 1 : 0;
            } else {
                v = objet.Scalaire(a);
            }
            insertion.addBindValue(v);
        }
        Executer(insertion, Tr("écriture de %1").arg(k->NomTable()));
    }
    objet.MarquerStocke(id, true);
    auto soi = objet.weak_from_this();
    if (!soi.expired())
        m_identites.insert(id, soi);
}

QStringList Connecteur::IdsParties(const QString& id, const ClassePersistante& classe, const Attribut& a)
{
    Q_UNUSED(classe);
    QSqlQuery& q = Preparee(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                .arg(m_dialecte->Identifiant(a.nomStockage), m_dialecte->Identifiant(a.declarante->NomTable()),
                                     m_dialecte->Identifiant(kId)));
    q.addBindValue(id);
    Executer(q, Tr("lecture de %1").arg(a.declarante->NomTable()));
    QStringList ids;
    if (q.next())
        ids = Identites(q.value(0));
    q.finish();
    return ids;
}

const ClassePersistante* Connecteur::ClasseStockee(const QString& id, const ClassePersistante& classeDeclaree)
{
    QSqlQuery& q = Preparee(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                .arg(m_dialecte->Identifiant(kClasse), m_dialecte->Identifiant(classeDeclaree.NomTable()),
                                     m_dialecte->Identifiant(kId)));
    q.addBindValue(id);
    Executer(q, Tr("lecture de %1").arg(classeDeclaree.NomTable()));
    QString nom;
    if (q.next())
        nom = q.value(0).toString();
    q.finish();
    if (nom.isEmpty())
        return nullptr;
    const ClassePersistante* c = Registre::Global().Chercher(nom);
    if (!c)
        throw Erreur(Tr("La base contient un objet d'une classe inconnue : %1.").arg(nom));
    return c;
}

void Connecteur::Supprimer(ObjetPersistant& objet)
{
    if (objet.Id().isEmpty())
        return;
    Transaction t(*this);
    SupprimerParId(objet.Id(), objet.Classe());
    t.Valider();
    MarquerNonStocke(objet);
}

void Connecteur::SupprimerParId(const QString& id, const ClassePersistante& classeDeclaree)
{
    const ClassePersistante* classe = ClasseStockee(id, classeDeclaree);
    if (!classe)
        return;
    for (const Attribut* a : classe->Attributs()) {
        if (!a->EstPartie())
            continue;
        const ClassePersistante* cible = Registre::Global().Chercher(a->classeCible);
        for (const QString& partie : IdsParties(id, *classe, *a))
            if (cible)
                SupprimerParId(partie, *cible);
    }
    for (const ClassePersistante* k : classe->Lignee()) {
        QSqlQuery& q = Preparee(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                                    .arg(m_dialecte->Identifiant(k->NomTable()), m_dialecte->Identifiant(kId)));
        q.addBindValue(id);
        Executer(q, Tr("suppression dans %1").arg(k->NomTable()));
    }
    m_identites.remove(id);
}

ObjetPtr Connecteur::DansMemoire(const QString& id) const
{
    auto it = m_identites.constFind(id);
    return it == m_identites.constEnd() ? nullptr : it->lock();
}

ObjetPtr Connecteur::Charger(const QString& id, const ClassePersistante& classe)
{
    if (id.isEmpty())
        return nullptr;
    if (ObjetPtr o = DansMemoire(id))
        return o->EstDe(classe) ? o : nullptr;
    const ClassePersistante* exacte = ClasseStockee(id, classe);
    if (!exacte || !exacte->DescendDe(classe))
        return nullptr;
    return Lire(id, *exacte);
}

ObjetPtr Connecteur::Lire(const QString& id, const ClassePersistante& classe)
{
    if (ObjetPtr o = DansMemoire(id))
        return o;
    // One statement per class joins the tables of its lineage.
    const auto lignee = classe.Lignee();
    QStringList colonnes;
    QString depuis;
    for (size_t i = 0; i < lignee.size(); ++i) {
        const QString alias = QStringLiteral("t%1").arg(i);
        for (const Attribut& a : lignee[i]->AttributsPropres())
            colonnes << alias + QLatin1Char('.') + m_dialecte->Identifiant(a.nomStockage);
        if (i == 0)
            depuis = m_dialecte->Identifiant(lignee[i]->NomTable()) + QStringLiteral(" t0");
        else
            depuis += QStringLiteral(" JOIN %1 %2 ON %2.%3 = t0.%3")
                          .arg(m_dialecte->Identifiant(lignee[i]->NomTable()), alias, m_dialecte->Identifiant(kId));
    }
    if (colonnes.isEmpty())
        colonnes << QStringLiteral("t0.") + m_dialecte->Identifiant(kId);
    QSqlQuery& q = Preparee(QStringLiteral("SELECT %1 FROM %2 WHERE t0.%3 = ?")
                                .arg(colonnes.join(QStringLiteral(", ")), depuis, m_dialecte->Identifiant(kId)));
    q.addBindValue(id);
    Executer(q, Tr("lecture de %1").arg(classe.NomTable()));
    if (!q.next()) {
        q.finish();
        return nullptr;
    }
    std::vector<QVariant> valeurs;
    valeurs.reserve(size_t(classe.NombreAttributs()));
    for (int i = 0; i < classe.NombreAttributs(); ++i)
        valeurs.push_back(q.value(i));
    q.finish();

    ObjetPtr objet = classe.Creer();
    objet->AttacherConnecteur(shared_from_this());
    objet->MarquerStocke(id, true);
    m_identites.insert(id, objet);
    for (const Attribut* a : classe.Attributs()) {
        const QVariant& v = valeurs[size_t(a->index)];
        if (a->EstPartie()) {
            std::vector<ObjetPtr> parties;
            const ClassePersistante* cible = Registre::Global().Chercher(a->classeCible);
            for (const QString& pid : Identites(v))
                if (cible)
                    if (ObjetPtr p = Charger(pid, *cible))
                        parties.push_back(p);
            objet->ChargerParties(*a, std::move(parties));
        } else if (a->EstReference()) {
            std::vector<Lien> liens;
            for (const QString& rid : Identites(v))
                liens.push_back(Lien{rid, {}});
            objet->ChargerLiens(*a, std::move(liens));
        } else {
            objet->ChargerScalaire(*a, LireColonne(*a, v));
        }
    }
    return objet;
}

std::vector<ObjetPtr> Connecteur::Selectionner(const QString& requete, const QVariantMap& parametres)
{
    const RequeteTraduite t = TraduireRequete(requete, *m_dialecte, Registre::Global());
    QSqlQuery& q = Preparee(t.sql);
    for (const QString& nom : t.parametres) {
        bool trouve = false;
        for (auto it = parametres.constBegin(); it != parametres.constEnd(); ++it)
            if (it.key().compare(nom, Qt::CaseInsensitive) == 0) {
                q.addBindValue(it.value());
                trouve = true;
                break;
            }
        if (!trouve)
            throw Erreur(Tr("Requête : le paramètre « %1 » n'a pas de valeur.").arg(nom));
    }
    Executer(q, Tr("requête sur %1").arg(t.classe ? t.classe->Nom() : QString()));
    std::vector<std::pair<QString, QString>> lignes;
    while (q.next())
        lignes.emplace_back(q.value(0).toString(), t.parAttribut ? QString() : q.value(1).toString());
    q.finish();

    std::vector<ObjetPtr> resultat;
    resultat.reserve(lignes.size());
    for (const auto& [id, nomClasse] : lignes) {
        ObjetPtr o;
        if (t.parAttribut) {
            o = t.classe ? Charger(id, *t.classe) : nullptr;
        } else if (const ClassePersistante* c = Registre::Global().Chercher(nomClasse)) {
            o = DansMemoire(id);
            if (!o)
                o = Lire(id, *c);
        }
        if (o)
            resultat.push_back(o);
    }
    return resultat;
}

void Connecteur::DebuterTransaction()
{
    if (m_profondeur == 0) {
        QSqlDatabase base = Base();
        if (!base.transaction())
            throw Erreur(Tr("Impossible de commencer une transaction : %1").arg(base.lastError().text()));
        m_abandon = false;
    }
    ++m_profondeur;
}

void Connecteur::ValiderTransaction()
{
    if (m_profondeur == 0)
        return;
    if (--m_profondeur > 0)
        return;
    QSqlDatabase base = Base();
    if (m_abandon) {
        base.rollback();
        m_abandon = false;
        throw Erreur(Tr("L'enregistrement a été annulé : une étape a échoué."));
    }
    if (!base.commit()) {
        const QString e = base.lastError().text();
        base.rollback();
        throw Erreur(Tr("Impossible de valider l'enregistrement : %1").arg(e));
    }
}

void Connecteur::AnnulerTransaction()
{
    if (m_profondeur == 0)
        return;
    if (--m_profondeur > 0) {
        m_abandon = true;
        return;
    }
    if (QSqlDatabase::contains(m_nomConnexion))
        QSqlDatabase::database(m_nomConnexion, false).rollback();
    m_abandon = false;
}

} // namespace vl::persistence
