#pragma once
// Text measurers: the line filling asks them the width of a piece of text,
// in the unit of its box (cm on the report, pixels on screen).

#include <QFont>
#include <QString>

class QPaintDevice;
namespace vl { class Canevas; }

class TMesureTexte
{
public:
    virtual ~TMesureTexte() = default;
    virtual double Mesurer(const QString& texte) const = 0;
};

// Width on the report canvas in its current font, cm. The canvas's metrics
// are exact, so what is measured here is what gets printed.
class TPrintMesureTexte : public TMesureTexte
{
public:
    explicit TPrintMesureTexte(vl::Canevas* rapport = nullptr) : m_rapport(rapport) {}
    void SetRapport(vl::Canevas* rapport) { m_rapport = rapport; }
    vl::Canevas* Rapport() const { return m_rapport; }
    // 0 when no report is bound.
    double Mesurer(const QString& texte) const override;

private:
    vl::Canevas* m_rapport;
};

// Width on screen in whole pixels, for the designer: the font is the one of
// the control's content, measured on `appareil` (a widget or image) or, when
// none is given, at the screen's logical resolution.
class TEcranMesureTexte : public TMesureTexte
{
public:
    TEcranMesureTexte() = default;
    void SetPolice(const QFont& police) { m_police = police; }
    const QFont& Police() const { return m_police; }
    void SetAppareil(QPaintDevice* appareil) { m_appareil = appareil; }

    double Mesurer(const QString& texte) const override;
    // Height of a line of text in the font (ascent + descent), whole pixels.
    int Hauteur() const;

private:
    QFont m_police;
    QPaintDevice* m_appareil = nullptr;
};
