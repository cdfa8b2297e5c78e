#include "data/Dataset.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace vl::data {

ErreurDonnees::ErreurDonnees(QString message, QString fichier)
    : m_message(std::move(message)), m_fichier(std::move(fichier)), m_utf8(m_message.toUtf8())
{
}

bool EstTypeBlob(TypeChamp type)
{
    switch (type) {
    case TypeChamp::Binaire:
    case TypeChamp::Memo:
    case TypeChamp::Graphique:
    case TypeChamp::MemoFormate:
    case TypeChamp::OleParadox:
    case TypeChamp::OleDBase:
    case TypeChamp::BinaireType:
        return true;
    default:
        return false;
    }
}

bool EstTypeChaine(TypeChamp type)
{
    return type == TypeChamp::Chaine || type == TypeChamp::ChaineLarge;
}

bool EstTypeMemo(TypeChamp type)
{
    return type == TypeChamp::Memo || type == TypeChamp::MemoFormate;
}

bool EstTypeImage(TypeChamp type)
{
    return type == TypeChamp::Binaire || type == TypeChamp::Graphique
        || type == TypeChamp::BinaireType;
}

bool EstTypeCompteur(TypeChamp type)
{
    return type == TypeChamp::PetitEntier || type == TypeChamp::Entier
        || type == TypeChamp::Mot || type == TypeChamp::Flottant;
}

QString NomType(TypeChamp type)
{
    switch (type) {
    case TypeChamp::Chaine: return QStringLiteral("Chaine");
    case TypeChamp::ChaineLarge: return QStringLiteral("ChaineLarge");
    case TypeChamp::PetitEntier: return QStringLiteral("PetitEntier");
    case TypeChamp::Entier: return QStringLiteral("Entier");
    case TypeChamp::Mot: return QStringLiteral("Mot");
    case TypeChamp::AutoIncrement: return QStringLiteral("AutoIncrement");
    case TypeChamp::GrandEntier: return QStringLiteral("GrandEntier");
    case TypeChamp::Flottant: return QStringLiteral("Flottant");
    case TypeChamp::Monnaie: return QStringLiteral("Monnaie");
    case TypeChamp::BCD: return QStringLiteral("BCD");
    case TypeChamp::Booleen: return QStringLiteral("Booleen");
    case TypeChamp::Date: return QStringLiteral("Date");
    case TypeChamp::Heure: return QStringLiteral("Heure");
    case TypeChamp::DateHeure: return QStringLiteral("DateHeure");
    case TypeChamp::Memo: return QStringLiteral("Memo");
    case TypeChamp::MemoFormate: return QStringLiteral("MemoFormate");
    case TypeChamp::Binaire: return QStringLiteral("Binaire");
    case TypeChamp::Graphique: return QStringLiteral("Graphique");
    case TypeChamp::BinaireType: return QStringLiteral("BinaireType");
    case TypeChamp::OleParadox: return QStringLiteral("OleParadox");
    case TypeChamp::OleDBase: return QStringLiteral("OleDBase");
    case TypeChamp::Inconnu: break;
    }
    return QStringLiteral("Inconnu");
}

Dataset::Dataset(QString fichier, QString nomTable)
    : m_fichier(std::move(fichier)), m_nomTable(std::move(nomTable))
{
}

Dataset::~Dataset() = default;

void Dataset::Initialiser(QList<DefinitionChamp> champs, int nombre)
{
    m_champs = std::move(champs);
    m_nombre = qMax(0, nombre);
    m_modifications.clear();
    m_ligneIndex = -1;
    m_ligne.clear();
    Premier();
}

void Dataset::DefinirModifiable(bool modifiable, const QString& raison)
{
    m_modifiable = modifiable;
    m_raisonNonModifiable = modifiable ? QString() : raison;
}

int Dataset::IndexChamp(const QString& nom) const
{
    for (int i = 0; i < m_champs.size(); ++i)
        if (m_champs[i].nom.compare(nom, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Dataset::IndexChampExiste(const QString& nom) const
{
    const int i = IndexChamp(nom);
    if (i < 0)
        throw ErreurDonnees(tr("Champ %1 introuvable dans %2").arg(nom, m_fichier), m_fichier);
    return i;
}

QStringList Dataset::NomsChamps() const
{
    QStringList noms;
    for (const auto& c : m_champs)
        noms << c.nom;
    return noms;
}

void Dataset::Deplacer(int index)
{
    // Leaving a record with pending edits posts them, as a data-aware grid does.
    if (EnEdition())
        Valider();
    m_courant = index;
}

void Dataset::Premier()
{
    Deplacer(0);
    m_debut = true;
    m_fin = m_nombre == 0;
}

void Dataset::Dernier()
{
    Deplacer(qMax(0, m_nombre - 1));
    m_fin = true;
    m_debut = m_nombre == 0;
}

void Dataset::Suivant()
{
    if (m_nombre == 0) {
        m_debut = m_fin = true;
        return;
    }
    if (m_courant + 1 < m_nombre) {
        Deplacer(m_courant + 1);
        m_debut = false;
        m_fin = false;
    } else {
        if (EnEdition())
            Valider();
        m_fin = true;
        m_debut = false;
    }
}

void Dataset::Precedent()
{
    if (m_nombre == 0) {
        m_debut = m_fin = true;
        return;
    }
    if (m_courant > 0) {
        Deplacer(m_courant - 1);
        m_debut = false;
        m_fin = false;
    } else {
        if (EnEdition())
            Valider();
        m_debut = true;
        m_fin = false;
    }
}

void Dataset::AllerA(int numero)
{
    if (numero < 1 || numero > m_nombre)
        throw ErreurDonnees(tr("Enregistrement %1 hors limites dans %2")
                                .arg(numero).arg(m_fichier), m_fichier);
    Deplacer(numero - 1);
    m_debut = false;
    m_fin = false;
}

Signet Dataset::PoserSignet() const
{
    return Signet{m_nombre == 0 ? -1 : m_courant};
}

void Dataset::RetourSignet(const Signet& signet)
{
    if (!signet.Valide() || signet.index >= m_nombre)
        return;
    Deplacer(signet.index);
    m_debut = false;
    m_fin = false;
}

const QList<QVariant>& Dataset::Ligne() const
{
    if (m_ligneIndex != m_courant) {
        m_ligne = LireEnregistrement(m_courant);
        while (m_ligne.size() < m_champs.size())
            m_ligne.append(QVariant());
        m_ligneIndex = m_courant;
    }
    return m_ligne;
}

QVariant Dataset::Valeur(int champ) const
{
    if (champ < 0 || champ >= m_champs.size())
        throw ErreurDonnees(tr("Champ numéro %1 introuvable dans %2").arg(champ).arg(m_fichier),
                            m_fichier);
    if (m_nombre == 0)
        return QVariant();
    const auto it = m_modifications.constFind(champ);
    if (it != m_modifications.constEnd())
        return it.value();
    return Ligne().at(champ);
}

QVariant Dataset::Valeur(const QString& nom) const
{
    return Valeur(IndexChampExiste(nom));
}

QString Dataset::Texte(int champ, const QLocale& locale) const
{
    const QVariant v = Valeur(champ);
    if (!v.isValid())
        return QString();
    const TypeChamp type = m_champs[champ].type;
    switch (type) {
    case TypeChamp::Binaire:
    case TypeChamp::Graphique:
    case TypeChamp::BinaireType:
    case TypeChamp::OleParadox:
    case TypeChamp::OleDBase:
        return QString();
    case TypeChamp::Booleen:
        return v.toBool() ? tr("Vrai") : tr("Faux");
    case TypeChamp::Flottant:
    case TypeChamp::Monnaie:
    case TypeChamp::BCD: {
        // Field text carries no thousands separator, as data-aware controls show it.
        QLocale sansGroupes = locale;
        sansGroupes.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
        return sansGroupes.toString(v.toDouble(), 'g', 15);
    }
    case TypeChamp::Date:
        return locale.toString(v.toDate(), QLocale::ShortFormat);
    case TypeChamp::Heure:
        return locale.toString(v.toTime(), QStringLiteral("HH:mm:ss"));
    case TypeChamp::DateHeure: {
        const QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0))
            return locale.toString(dt.date(), QLocale::ShortFormat);
        return locale.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ')
             + locale.toString(dt.time(), QStringLiteral("HH:mm:ss"));
    }
    default:
        return v.toString();
    }
}

QString Dataset::Texte(const QString& nom, const QLocale& locale) const
{
    return Texte(IndexChampExiste(nom), locale);
}

QByteArray Dataset::Blob(int champ) const
{
    const QVariant v = Valeur(champ);
    if (!v.isValid())
        return QByteArray();
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return v.toString().toUtf8();
}

QByteArray Dataset::Blob(const QString& nom) const
{
    return Blob(IndexChampExiste(nom));
}

QVariant Dataset::VerifierValeur(int, const QVariant& valeur) const
{
    return valeur;
}

void Dataset::EcrireEnregistrement(int, const QHash<int, QVariant>&)
{
    throw ErreurDonnees(tr("La source %1 est en lecture seule").arg(m_fichier), m_fichier);
}

void Dataset::Modifier(int champ, const QVariant& valeur)
{
    if (!m_modifiable) {
        QString msg = tr("Impossible de modifier %1 : la source est en lecture seule").arg(m_fichier);
        if (!m_raisonNonModifiable.isEmpty())
            msg += QStringLiteral(" (") + m_raisonNonModifiable + QLatin1Char(')');
        throw ErreurDonnees(msg, m_fichier);
    }
    if (champ < 0 || champ >= m_champs.size())
        throw ErreurDonnees(tr("Champ numéro %1 introuvable dans %2").arg(champ).arg(m_fichier),
                            m_fichier);
    if (m_nombre == 0)
        throw ErreurDonnees(tr("La table %1 est vide : aucun enregistrement à modifier")
                                .arg(m_fichier), m_fichier);
    m_modifications.insert(champ, VerifierValeur(champ, valeur));
}

void Dataset::Modifier(const QString& nom, const QVariant& valeur)
{
    Modifier(IndexChampExiste(nom), valeur);
}

void Dataset::Valider()
{
    if (m_modifications.isEmpty())
        return;
    const QHash<int, QVariant> valeurs = m_modifications;
    EcrireEnregistrement(m_courant, valeurs);
    m_modifications.clear();
    m_ligneIndex = -1;
}

void Dataset::Annuler()
{
    m_modifications.clear();
}

void Dataset::MettreAJourColonne(const QString& nom, const QVariant& valeur)
{
    const int champ = IndexChampExiste(nom);
    if (EnEdition())
        Valider();
    const int courant = m_courant;
    const bool debut = m_debut, fin = m_fin;
    try {
        for (int i = 0; i < m_nombre; ++i) {
            m_courant = i;
            Modifier(champ, valeur);
            Valider();
        }
    } catch (...) {
        m_modifications.clear();
        m_courant = courant;
        m_debut = debut;
        m_fin = fin;
        m_ligneIndex = -1;
        throw;
    }
    m_courant = courant;
    m_debut = debut;
    m_fin = fin;
    m_ligneIndex = -1;
}

void Dataset::Rafraichir()
{
    m_ligneIndex = -1;
    m_modifications.clear();
}

} // namespace vl::data
