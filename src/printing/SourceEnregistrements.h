#pragma once
// What a data print run needs from the open connection: record navigation,
// bookmarks, field values as text, and the values of bound leaves. The
// connection controller implements it; tests use TSourceMemoire.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class TVlFeuille;
class TVlImage;

// A picture as a source hands it out, with its format ("png", "gif", "jpg",
// "bmp"...) since transparency rules depend on it.
struct TImageSource
{
    QImage Image;
    QByteArray Format;
};

class TSourceEnregistrements
{
public:
    using TSignet = long long;
    virtual ~TSourceEnregistrements() = default;

    virtual void Premier() = 0;
    virtual void Suivant() = 0;
    // Past the last record.
    virtual bool Fin() const = 0;
    virtual TSignet Signet() const = 0;
    virtual void AllerAuSignet(TSignet signet) = 0;
    virtual void LibererSignet(TSignet) {}
    // The value of a field of the current record as text; raises the data
    // layer's error for an unknown field.
    virtual QString ValeurChamp(const QString& champ) const = 0;
    // The connection's CompteurImpressions: the field giving each record's
    // copy count, empty for one label per record.
    virtual QString ChampCopies() const = 0;

    // Values of bound leaves in the current record. The defaults compose the
    // binding's pieces: literal text as it is, field pieces by their value.
    virtual QString ValeurTexte(const TVlFeuille& feuille) const;
    // The memo field named by the binding's first piece.
    virtual QString ValeurMemo(const TVlFeuille& feuille) const;
    // The picture of a bound picture leaf; none by default.
    virtual TImageSource ValeurImage(const TVlImage& image) const;
};

// Records held in memory: a list of field → value maps.
class TSourceMemoire : public TSourceEnregistrements
{
public:
    using Enregistrement = std::map<QString, QString>;
    explicit TSourceMemoire(std::vector<Enregistrement> enregistrements = {}, QString champCopies = QString())
        : m_enregistrements(std::move(enregistrements)), m_champCopies(std::move(champCopies)) {}

    void Premier() override { m_courant = 0; }
    void Suivant() override { if (m_courant < Nombre()) ++m_courant; }
    bool Fin() const override { return m_courant >= Nombre(); }
    TSignet Signet() const override { return m_courant; }
    void AllerAuSignet(TSignet s) override { m_courant = s; }
    QString ValeurChamp(const QString& champ) const override;
    QString ChampCopies() const override { return m_champCopies; }

    long long Courant() const { return m_courant; }
    long long Nombre() const { return (long long)m_enregistrements.size(); }
    std::vector<Enregistrement>& Enregistrements() { return m_enregistrements; }

private:
    std::vector<Enregistrement> m_enregistrements;
    QString m_champCopies;
    long long m_courant = 0;
};
