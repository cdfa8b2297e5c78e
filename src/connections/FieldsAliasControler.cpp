#include "connections/FieldsAliasControler.h"

#include "connections/Connexions.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
QString tr(const char* texte)
{
    return QCoreApplication::translate("TFieldsAliasControler", texte);
}
} // namespace

TFieldsAliasControler::TFieldsAliasControler(TControleurConnexion& controleur,
                                             const QList<QPair<QString, QString>>& libelles)
    : m_controleur(controleur), m_libelles(libelles)
{
}

std::shared_ptr<TVlConnexion> TFieldsAliasControler::ConnexionCourante() const
{
    auto c = m_controleur.Connexion();
    if (!c)
        throw EConnexion(tr("Aucune connexion n'est ouverte : impossible de gérer les alias"));
    return c;
}

std::shared_ptr<TVlFieldsAlias> TFieldsAliasControler::CreerAlias(const QString& caption, const QString& alias)
{
    const auto c = ConnexionCourante();
    const QString texte = alias.trimmed();
    if (texte.isEmpty())
        throw EConnexion(tr("L'alias ne doit pas être vide"));
    QString champ = caption;
    for (const auto& l : m_libelles)
        if (l.second == caption) {
            champ = l.first;
            break;
        }
    // Two fields under one name could not be told apart when binding.
    for (const auto& a : c->Alias)
        if (a->AliasName().compare(texte, Qt::CaseInsensitive) == 0 && a->FieldName() != champ)
            throw EConnexion(tr("L'alias « %1 » est déjà donné au champ %2").arg(texte, a->FieldName()));
    auto nouveau = m_controleur.Connecteur()->Nouveau<TVlFieldsAlias>();
    nouveau->SetConnexion(c);
    nouveau->SetFieldName(champ);
    nouveau->SetAliasName(texte);
    nouveau->Stocker();
    c->Alias.push_back(nouveau);
    return nouveau;
}

std::shared_ptr<TVlFieldsAlias> TFieldsAliasControler::AliasDe(const QString& fieldName) const
{
    const auto c = m_controleur.Connexion();
    if (!c)
        return nullptr;
    for (const auto& a : c->Alias)
        if (a->FieldName() == fieldName)
            return a;
    return nullptr;
}

void TFieldsAliasControler::SupprimerAlias(const std::shared_ptr<TVlFieldsAlias>& alias)
{
    if (!alias)
        return;
    if (const auto c = m_controleur.Connexion()) {
        auto& liste = c->Alias;
        liste.erase(std::remove(liste.begin(), liste.end(), alias), liste.end());
    }
    alias->Supprimer();
}
