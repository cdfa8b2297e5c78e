#include "userdb/ChampsPersos.h"

#include "userdb/UserDb.h"

#include <QCoreApplication>
#include <QSet>

using vl::data::DefinitionChamp;

namespace {

QString Tr(const char* texte)
{
    return QCoreApplication::translate("TFrmCustomFields", texte);
}

const QString kCaracteresRefuses = QStringLiteral("!.[]`");

} // namespace

QList<TTypeChampPerso> TypesChampsPersos()
{
    return {{Tr("Texte simple"), QStringLiteral("text")},
            {Tr("Texte long"), QStringLiteral("memo")},
            {Tr("Nombre"), QStringLiteral("double")},
            {Tr("Monétaire"), QStringLiteral("currency")},
            {Tr("Date et heure"), QStringLiteral("dateTime")}};
}

QStringList ListeTypesChampsPersos()
{
    QStringList r;
    for (const auto& t : TypesChampsPersos())
        r << t.Affichage + QLatin1Char('=') + t.Sql;
    return r;
}

QString TypeDeclare(const QString& typeSql, int taille)
{
    if (typeSql == QLatin1String("text")) {
        if (taille < 0 || taille > 255)
            throw EUserDb(Tr("La taille d'un champ texte doit être comprise entre 1 et 255 caractères"));
        return taille == 0 ? QStringLiteral("text") : QStringLiteral("text(%1)").arg(taille);
    }
    if (typeSql == QLatin1String("memo"))
        return QStringLiteral("memo text");
    if (typeSql == QLatin1String("double") || typeSql == QLatin1String("currency")
        || typeSql == QLatin1String("dateTime"))
        return typeSql;
    throw EUserDb(Tr("Type de champ inconnu : %1").arg(typeSql));
}

// ---------------------------------------------------------------- TCustomFieldsControler

TCustomFieldsControler::TCustomFieldsControler(TdmUserDb& module)
    : Table(module.Table), ChampCle(QStringLiteral("Id")), ChampsStandard(module.ChampsStandard), m_module(module)
{
}

bool TCustomFieldsControler::NomLibre(const QString& nom) const
{
    if (nom.isEmpty())
        return true;
    for (const QString& s : ChampsStandard)
        if (s.compare(nom, Qt::CaseInsensitive) == 0)
            return false;
    return true;
}

void TCustomFieldsControler::ListeChampsPersos(QStringList& liste) const
{
    liste.clear();
    for (const auto& c : m_module.Requete().Champs())
        if (NomLibre(c.nom))
            liste << c.nom;
}

const DefinitionChamp& TCustomFieldsControler::Definition(const QString& nom) const
{
    const TRequeteBd& q = m_module.Requete();
    return q.Champs()[q.IndexChampExiste(nom)];
}

int TCustomFieldsControler::TailleChamp(const QString& nom) const
{
    return Definition(nom).taille;
}

vl::data::TypeChamp TCustomFieldsControler::TypeChamp(const QString& nom) const
{
    return Definition(nom).type;
}

bool TCustomFieldsControler::EstMemo(const QString& nom) const
{
    return vl::data::EstTypeMemo(Definition(nom).type);
}

void TCustomFieldsControler::Modifier(const QString& sql)
{
    m_module.ValiderSaisie();
    const QVariant id = m_module.IdCourant();
    m_module.Fermer();
    std::exception_ptr echec;
    try {
        m_module.Executer(sql);
    } catch (...) {
        echec = std::current_exception();
    }
    // Reopened on the record whether the change worked or not; then the failure is told.
    m_module.RouvrirSur(id);
    if (echec)
        std::rethrow_exception(echec);
}

void TCustomFieldsControler::AjouterChamp(const QString& nom, const QString& type, int taille)
{
    QStringList persos;
    ListeChampsPersos(persos);
    TReglesConfiguration::VerifierNomChamp(nom, persos, *this);
    const QString declare = TypeDeclare(type, type == QLatin1String("text") ? taille : 0);
    Modifier(QStringLiteral("ALTER TABLE ") + TdmBd::Identifiant(Table) + QStringLiteral(" ADD ")
             + TdmBd::Identifiant(nom) + QLatin1Char(' ') + declare);
}

void TCustomFieldsControler::SupprimerChamp(const QString& nom)
{
    if (nom.isEmpty())
        return;
    if (!NomLibre(nom))
        throw EUserDb(Tr("Le champ %1 est un champ standard et ne peut pas être supprimé").arg(nom));
    Modifier(QStringLiteral("ALTER TABLE ") + TdmBd::Identifiant(Table) + QStringLiteral(" DROP COLUMN ")
             + TdmBd::Identifiant(nom));
}

// ---------------------------------------------------------------- TCategoriesControler

TCategoriesControler::TCategoriesControler(TdmUserDb& module)
    : Table(module.Table), TableCategories(module.TableCategories), ChampId(QStringLiteral("Id")),
      ChampTitre(module.ChampTitre), ChampCategorie(module.ChampCategorie), m_module(module)
{
}

void TCategoriesControler::InsererCategorie(const QString& titre)
{
    if (titre.trimmed().isEmpty())
        throw EUserDb(Tr("Le nom de la catégorie ne doit pas être vide"));
    const int index = m_module.Requete().IndexChamp(ChampCategorie);
    const int taille = index >= 0 ? m_module.Requete().Champs()[index].taille : 0;
    if (taille > 0 && titre.size() > taille)
        throw EUserDb(Tr("Le nom de la catégorie ne doit pas dépasser %1 caractères").arg(taille));
    for (const QString& t : TitresCategories(false))
        if (t.compare(titre, Qt::CaseInsensitive) == 0)
            throw EUserDb(Tr("La catégorie « %1 » existe déjà").arg(t));
    m_module.Executer(QStringLiteral("INSERT INTO ") + TdmBd::Identifiant(TableCategories) + QStringLiteral(" (")
                          + TdmBd::Identifiant(ChampTitre) + QStringLiteral(") VALUES(?)"),
                      {titre});
}

void TCategoriesControler::SupprimerCategorie(const QString& titre)
{
    // Records name their category by value: deleting a used one would leave
    // them pointing at nothing.
    const auto utilisee = m_module.Lire(QStringLiteral("SELECT count(*) FROM ") + TdmBd::Identifiant(Table)
                                            + QStringLiteral(" WHERE ") + TdmBd::Identifiant(ChampCategorie)
                                            + QStringLiteral(" = ? COLLATE NOCASE"),
                                        {titre});
    if (!utilisee.isEmpty() && utilisee.first().value(0).toInt() > 0)
        throw EUserDb(Tr("La catégorie « %1 » est utilisée par des articles et ne peut pas être supprimée").arg(titre));
    m_module.Executer(QStringLiteral("DELETE FROM ") + TdmBd::Identifiant(TableCategories) + QStringLiteral(" WHERE ")
                          + TdmBd::Identifiant(ChampTitre) + QStringLiteral(" = ?"),
                      {titre});
}

void TCategoriesControler::CategoriesLibres(QStringList& liste) const
{
    liste.clear();
    const QString sql = QStringLiteral("SELECT a.") + TdmBd::Identifiant(ChampTitre) + QStringLiteral(" FROM ")
                      + TdmBd::Identifiant(TableCategories) + QStringLiteral(" a\nWHERE NOT EXISTS\n(SELECT distinct ")
                      + TdmBd::Identifiant(ChampCategorie) + QStringLiteral(" FROM ") + TdmBd::Identifiant(Table)
                      + QStringLiteral(" WHERE ") + TdmBd::Identifiant(ChampCategorie) + QStringLiteral(" = a.")
                      + TdmBd::Identifiant(ChampTitre) + QStringLiteral(" COLLATE NOCASE)\nORDER BY a.")
                      + TdmBd::Identifiant(ChampTitre) + QStringLiteral(" COLLATE VLTEXTE");
    for (const auto& l : m_module.Lire(sql))
        liste << l.value(0).toString();
}

void TCategoriesControler::ListeCategories(QList<TEntreeCategorie>& liste, bool avecVide) const
{
    liste.clear();
    if (avecVide)
        liste.append({QStringLiteral(" "), QVariant()});
    const auto lignes = m_module.Lire(QStringLiteral("SELECT DISTINCT ") + TdmBd::Identifiant(ChampTitre)
                                      + QStringLiteral(", ") + TdmBd::Identifiant(ChampId) + QStringLiteral(" FROM ")
                                      + TdmBd::Identifiant(TableCategories) + QStringLiteral(" order by 1 COLLATE VLTEXTE"));
    auto present = [&](const QString& titre) {
        for (const auto& e : liste)
            if (e.Id.isValid() && e.Titre.compare(titre, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    for (const QString& id : OrdreAnalyse)
        for (const auto& l : lignes)
            if (l.value(1).toString() == id && !present(l.value(0).toString())) {
                liste.append({l.value(0).toString(), l.value(1).toInt()});
                break;
            }
    for (const auto& l : lignes)
        if (!present(l.value(0).toString()))
            liste.append({l.value(0).toString(), l.value(1).toInt()});
}

QStringList TCategoriesControler::TitresCategories(bool avecVide) const
{
    QList<TEntreeCategorie> liste;
    ListeCategories(liste, avecVide);
    QStringList r;
    for (const auto& e : liste)
        r << e.Titre;
    return r;
}

void TCategoriesControler::SetOrdre(const QString& texte)
{
    Ordre = texte;
    OrdreAnalyse.clear();
    QSet<qint64> vus;
    for (const QString& morceau : texte.split(QLatin1Char(';'))) {
        bool ok = false;
        const qint64 id = morceau.trimmed().toLongLong(&ok);
        if (!ok || vus.contains(id))
            continue;
        vus.insert(id);
        OrdreAnalyse << QString::number(id);
    }
}

// ---------------------------------------------------------------- TReglesConfiguration

bool TReglesConfiguration::CaractereNomAccepte(QChar c, bool boiteVide)
{
    if (kCaracteresRefuses.contains(c))
        return false;
    return !(boiteVide && c.isSpace());
}

bool TReglesConfiguration::CaractereTailleAccepte(QChar c, int longueurActuelle)
{
    return c.isDigit() && c.unicode() < 128 && longueurActuelle < 64;
}

bool TReglesConfiguration::TailleVisible(int indexType)
{
    return indexType == 0;
}

bool TReglesConfiguration::AjoutChampPermis(const QString& nom, int indexType, const QString& taille)
{
    if (nom.isEmpty() || indexType < 0 || indexType >= TypesChampsPersos().size())
        return false;
    if (!TailleVisible(indexType))
        return true;
    bool ok = false;
    const int n = taille.toInt(&ok);
    return !taille.isEmpty() && ok && n < 256;
}

int TReglesConfiguration::TailleSaisie(int indexType, const QString& taille)
{
    if (!TailleVisible(indexType) || taille.isEmpty())
        return 0;
    return taille.toInt();
}

void TReglesConfiguration::VerifierNomChamp(const QString& nom, const QStringList& champsPersos,
                                            const TCustomFieldsControler& controleur)
{
    if (nom.isEmpty())
        throw EUserDb(Tr("Le nom du champ ne doit pas être vide"));
    if (champsPersos.contains(nom, Qt::CaseInsensitive) || !controleur.NomLibre(nom))
        throw EUserDb(Tr("Un champ portant ce nom existe déjà"));
    if (nom.at(0).isDigit() || nom.at(0).isSpace())
        throw EUserDb(Tr("Le nom du champ ne doit pas commencer par un chiffre ou un espace"));
    for (const QChar c : nom)
        if (kCaracteresRefuses.contains(c))
            throw EUserDb(Tr("Le nom du champ ne doit contenir aucun des caractères ! . [ ] `"));
    for (const QChar c : nom)
        if (c.category() == QChar::Other_Control)
            throw EUserDb(Tr("Le nom du champ ne doit pas contenir de caractère de contrôle"));
    if (nom.size() > 64)
        throw EUserDb(Tr("Le nom du champ ne doit pas dépasser 64 caractères"));
}

bool TReglesConfiguration::AjoutCategoriePermis(const QString& texte, const QList<TEntreeCategorie>& liste)
{
    if (texte.isEmpty())
        return false;
    for (const auto& e : liste)
        if (e.Titre.compare(texte, Qt::CaseInsensitive) == 0)
            return false;
    return true;
}

bool TReglesConfiguration::SuppressionCategoriePermise(const QList<TEntreeCategorie>& liste, int index,
                                                       const QStringList& libres)
{
    if (index < 0 || index >= liste.size())
        return false;
    return libres.contains(liste[index].Titre);
}

bool TReglesConfiguration::MonteePermise(const QList<TEntreeCategorie>& liste, int index)
{
    return index > 0 && index < liste.size();
}

bool TReglesConfiguration::DescentePermise(const QList<TEntreeCategorie>& liste, int index)
{
    return index >= 0 && index < liste.size() - 1;
}

QString TReglesConfiguration::OrdreCategories(const QList<TEntreeCategorie>& liste)
{
    QString r;
    for (const auto& e : liste)
        if (e.Id.isValid())
            r += e.Id.toString() + QLatin1Char(';');
    return r;
}
