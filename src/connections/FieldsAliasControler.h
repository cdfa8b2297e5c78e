#pragma once
// Field aliases of the current connection: created, found and deleted for the
// custom-fields dialog of the personal database.
#include "model/Metier.h"

#include <QList>
#include <QPair>
#include <QString>

#include <memory>

class TControleurConnexion;

class TFieldsAliasControler
{
public:
    // libelles: the field name, display name pairs of the module (kept by
    // reference: the module fills them when its connection opens).
    TFieldsAliasControler(TControleurConnexion& controleur, const QList<QPair<QString, QString>>& libelles);

    // Creates and stores the alias of the field shown as caption (the caption
    // itself when it names no field). An empty alias, or one already given to
    // another field of the connection, is refused.
    std::shared_ptr<TVlFieldsAlias> CreerAlias(const QString& caption, const QString& alias);
    // The alias of fieldName in the current connection, or nullptr.
    std::shared_ptr<TVlFieldsAlias> AliasDe(const QString& fieldName) const;
    // Removes the alias from the connection and deletes it from the store.
    void SupprimerAlias(const std::shared_ptr<TVlFieldsAlias>& alias);

private:
    std::shared_ptr<TVlConnexion> ConnexionCourante() const;

    TControleurConnexion& m_controleur;
    const QList<QPair<QString, QString>>& m_libelles;
};
