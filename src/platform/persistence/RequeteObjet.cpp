#include "RequeteObjet.h"
#include "Erreur.h"
#include <QCoreApplication>
#include <QHash>
#include <vector>

namespace vl::persistence {

namespace {

QString Tr(const char* t) { return QCoreApplication::translate("Persistance", t); }

struct Jeton
{
    enum Genre { Mot, Parametre, Texte, Nombre, Signe, Fin } genre = Fin;
    QString texte;
};

std::vector<Jeton> Decouper(const QString& s)
{
    std::vector<Jeton> jetons;
    int i = 0;
    const int n = s.size();
    auto estMot = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) { ++i; continue; }
        if (c == QLatin1Char(':')) {
            int j = i + 1;
            while (j < n && estMot(s[j])) ++j;
            jetons.push_back({Jeton::Parametre, s.mid(i + 1, j - i - 1)});
            i = j;
        } else if (c == QLatin1Char('\'')) {
            QString t;
            int j = i + 1;
            for (; j < n; ++j) {
                if (s[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && s[j + 1] == QLatin1Char('\'')) { t += QLatin1Char('\''); ++j; continue; }
                    break;
                }
                t += s[j];
            }
            if (j >= n)
                throw Erreur(Tr("Requête invalide : texte non terminé."));
            jetons.push_back({Jeton::Texte, t});
            i = j + 1;
        } else if (c.isDigit()) {
            int j = i;
            while (j < n && (s[j].isDigit() || s[j] == QLatin1Char('.'))) ++j;
            jetons.push_back({Jeton::Nombre, s.mid(i, j - i)});
            i = j;
        } else if (estMot(c)) {
            int j = i;
            while (j < n && estMot(s[j])) ++j;
            jetons.push_back({Jeton::Mot, s.mid(i, j - i)});
            i = j;
        } else if ((c == QLatin1Char('<') || c == QLatin1Char('>')) && i + 1 < n &&
                   (s[i + 1] == QLatin1Char('=') || s[i + 1] == QLatin1Char('>'))) {
            jetons.push_back({Jeton::Signe, s.mid(i, 2)});
            i += 2;
        } else {
            jetons.push_back({Jeton::Signe, QString(c)});
            ++i;
        }
    }
    jetons.push_back({Jeton::Fin, {}});
    return jetons;
}

class Traducteur
{
public:
    Traducteur(const QString& requete, const Dialecte& d, const Registre& r)
        : m_jetons(Decouper(requete)), m_requete(requete), m_d(d), m_r(r) {}

    RequeteTraduite Traduire()
    {
        RequeteTraduite res;
        Exiger(QStringLiteral("SELECT"));
        QStringList cheminSelection;
        const bool etoile = Accepter(QStringLiteral("*"));
        if (!etoile)
            cheminSelection = LireChemin();
        Exiger(QStringLiteral("FROM"));
        const bool tous = Accepter(QStringLiteral("ANY"));
        const QString nomClasse = LireMot();
        m_racine = m_r.Chercher(nomClasse);
        if (!m_racine)
            throw Erreur(Tr("Requête invalide : classe inconnue « %1 ».").arg(nomClasse));
        m_aliasRacine = QStringLiteral("t0");
        m_alias.insert(Cle(QString(), m_racine), m_aliasRacine);

        QStringList conditions;
        conditions << FiltreClasse(tous);
        if (Accepter(QStringLiteral("WHERE"))) {
            do {
                conditions << LireCondition(res.parametres);
            } while (Accepter(QStringLiteral("AND")));
        }
        QStringList tris;
        if (Accepter(QStringLiteral("ORDER"))) {
            Exiger(QStringLiteral("BY"));
            do {
                const Resolu r = Resoudre(LireChemin());
                QString t = m_d.ExpressionTri(r.expression, r.attribut);
                if (Accepter(QStringLiteral("DESC")))
                    t += QStringLiteral(" DESC");
                else
                    Accepter(QStringLiteral("ASC"));
                tris << t;
            } while (Accepter(QStringLiteral(",")));
        }
        if (m_jetons[m_pos].genre != Jeton::Fin)
            Refuser(m_jetons[m_pos].texte);

        QString colonnes;
        if (etoile) {
            res.classe = m_racine;
            colonnes = Col(m_aliasRacine, QStringLiteral("_Id")) + QStringLiteral(", ") + Col(m_aliasRacine, QStringLiteral("_Classe"));
        } else {
            const Resolu r = Resoudre(cheminSelection);
            if (!r.attribut || r.attribut->type != TypeAttribut::Reference)
                throw Erreur(Tr("Requête invalide : « %1 » n'est pas une référence.").arg(cheminSelection.join(QLatin1Char('.'))));
            res.classe = m_r.Chercher(r.attribut->classeCible);
            res.parAttribut = true;
            colonnes = r.expression;
            conditions << r.expression + QStringLiteral(" IS NOT NULL");
        }
        res.sql = QStringLiteral("SELECT ") + colonnes + QStringLiteral(" FROM ") + m_d.Identifiant(m_racine->NomTable()) +
                  QLatin1Char(' ') + m_aliasRacine;
        for (const QString& j : m_jointures)
            res.sql += QLatin1Char(' ') + j;
        res.sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
        if (!tris.isEmpty())
            res.sql += QStringLiteral(" ORDER BY ") + tris.join(QStringLiteral(", "));
        return res;
    }

private:
    struct Resolu
    {
        QString expression;
        const Attribut* attribut = nullptr; // nullptr for an identity
    };

    static QString Cle(const QString& objet, const ClassePersistante* c) { return objet + QLatin1Char('|') + c->Nom(); }
    QString Col(const QString& alias, const QString& colonne) const { return alias + QLatin1Char('.') + m_d.Identifiant(colonne); }

    QString FiltreClasse(bool tous)
    {
        QStringList noms;
        if (tous) {
            for (const ClassePersistante* c : m_r.Descendants(*m_racine))
                noms << QLatin1Char('\'') + c->Nom() + QLatin1Char('\'');
        } else {
            noms << QLatin1Char('\'') + m_racine->Nom() + QLatin1Char('\'');
        }
        return Col(m_aliasRacine, QStringLiteral("_Classe")) + QStringLiteral(" IN (") + noms.join(QStringLiteral(", ")) + QLatin1Char(')');
    }

    // The alias of the table of `classe` for the object reached by `objet`
    // (empty for the queried object), joined on demand.
    QString Table(const QString& objet, const QString& idObjet, const ClassePersistante* classe)
    {
        const QString cle = Cle(objet, classe);
        auto it = m_alias.find(cle);
        if (it != m_alias.end())
            return it.value();
        const QString alias = QStringLiteral("t%1").arg(m_alias.size());
        m_alias.insert(cle, alias);
        m_jointures << QStringLiteral("LEFT JOIN %1 %2 ON %3 = %4")
                           .arg(m_d.Identifiant(classe->NomTable()), alias, Col(alias, QStringLiteral("_Id")), idObjet);
        return alias;
    }

    Resolu Resoudre(const QStringList& chemin)
    {
        const ClassePersistante* classe = m_racine;
        QString objet;
        QString idObjet = Col(m_aliasRacine, QStringLiteral("_Id"));
        for (int i = 0; i < chemin.size(); ++i) {
            const bool dernier = i == chemin.size() - 1;
            if (dernier && chemin[i].compare(QLatin1String("Id"), Qt::CaseInsensitive) == 0 && !classe->Chercher(chemin[i]))
                return {idObjet, nullptr};
            const Attribut* a = classe->Chercher(chemin[i]);
            if (!a)
                throw Erreur(Tr("Requête invalide : la classe %1 n'a pas d'attribut « %2 ».").arg(classe->Nom(), chemin[i]));
            const QString expression = Col(Table(objet, idObjet, a->declarante), a->nomStockage);
            if (dernier)
                return {expression, a};
            if (a->type != TypeAttribut::Reference)
                throw Erreur(Tr("Requête invalide : « %1 » ne mène à aucun objet.").arg(chemin.mid(0, i + 1).join(QLatin1Char('.'))));
            classe = m_r.Chercher(a->classeCible);
            if (!classe)
                throw Erreur(Tr("Requête invalide : classe inconnue « %1 ».").arg(a->classeCible));
            objet += QLatin1Char('.') + a->nom;
            idObjet = expression;
        }
        throw Erreur(Tr("Requête invalide : chemin vide."));
    }

    QString LireCondition(QStringList& parametres)
    {
        const Resolu gauche = Resoudre(LireChemin());
        const Jeton op = m_jetons[m_pos];
        static const QStringList operateurs = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                               QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
        if (op.genre != Jeton::Signe || !operateurs.contains(op.texte))
            Refuser(op.texte);
        ++m_pos;
        const Jeton droite = m_jetons[m_pos++];
        QString valeur;
        switch (droite.genre) {
        case Jeton::Parametre:
            parametres << droite.texte;
            valeur = QStringLiteral("?");
            break;
        case Jeton::Texte: {
            QString t = droite.texte;
            valeur = QLatin1Char('\'') + t.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
            break;
        }
        case Jeton::Nombre: valeur = droite.texte; break;
        default: Refuser(droite.texte);
        }
        return gauche.expression + QLatin1Char(' ') + op.texte + QLatin1Char(' ') + valeur;
    }

    QStringList LireChemin()
    {
        QStringList chemin{LireMot()};
        while (Accepter(QStringLiteral(".")))
            chemin << LireMot();
        return chemin;
    }

    QString LireMot()
    {
        const Jeton& j = m_jetons[m_pos];
        if (j.genre != Jeton::Mot)
            Refuser(j.texte);
        ++m_pos;
        return j.texte;
    }

    bool Accepter(const QString& mot)
    {
        const Jeton& j = m_jetons[m_pos];
        if ((j.genre == Jeton::Mot || j.genre == Jeton::Signe) && j.texte.compare(mot, Qt::CaseInsensitive) == 0) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void Exiger(const QString& mot)
    {
        if (!Accepter(mot))
            Refuser(m_jetons[m_pos].texte);
    }

    [[noreturn]] void Refuser(const QString& vu) const
    {
        throw Erreur(Tr("Requête invalide près de « %1 » : %2").arg(vu.isEmpty() ? Tr("(fin)") : vu, m_requete.simplified()));
    }

    std::vector<Jeton> m_jetons;
    int m_pos = 0;
    QString m_requete;
    const Dialecte& m_d;
    const Registre& m_r;
    const ClassePersistante* m_racine = nullptr;
    QString m_aliasRacine;
    QHash<QString, QString> m_alias;
    QStringList m_jointures;
};

} // namespace

RequeteTraduite TraduireRequete(const QString& requete, const Dialecte& dialecte, const Registre& registre)
{
    return Traducteur(requete, dialecte, registre).Traduire();
}

} // namespace vl::persistence
