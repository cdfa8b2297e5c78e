#pragma once
// Screen barcode strategies: one object per symbology validates and filters a
// value, computes its check characters and draws bars and digits in pixels on
// an off-screen bitmap canvas.  The designer keeps one shared instance of each
// (see TListeSymbologies); every drawing starts with Initialiser and SetValeur.

#include "barcodes/CanevasBitmap.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <vector>

// A barcode value the symbology refuses.
class EInvalidCodBar : public std::runtime_error
{
public:
    explicit EInvalidCodBar(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& Message() const { return m_message; }

    // "le code n'est pas valide": a typed value, or a value met while drawing.
    static QString MessageCodeInvalide();
    // "Champ invalide pour ce type de code": a bound field's value.
    static QString MessageChampInvalide();

private:
    QString m_message;
};

class TCodeBarreStrategie
{
public:
    TCodeBarreStrategie();
    virtual ~TCodeBarreStrategie();
    TCodeBarreStrategie(const TCodeBarreStrategie&) = delete;
    TCodeBarreStrategie& operator=(const TCodeBarreStrategie&) = delete;

    QString Description;       // help text of the symbology chooser
    double PosX = 0;           // pen x while drawing, px
    double PosY = 0;           // top of the bars while drawing, px
    double HauteurBarres = 70; // px
    double Module = 1;         // narrow element, px
    vl::CanevasBitmap* Canvas = nullptr; // not owned; valid during one drawing
    int ModuloCheckSum = 0;
    double Gauche = 10;        // left edge of the first bar, px
    QString Valeur;            // the value after filtering
    double Haut = 0;           // top edge of the bars, px
    bool CheckSum = false;
    double Ratio = 3.0;        // wide / narrow
    bool WriteText = true;

    virtual void DessinerTexte();
    virtual QString GetCodeComplet();
    virtual QString GetMotif(QChar c) = 0;
    virtual QString GetCheckSum();
    virtual double GetHauteurTotale();
    virtual int GetLargeurTotale();
    virtual double GetLargeurBarres();
    virtual bool CaractereValide(QChar c);
    virtual void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) = 0;
    virtual void SetValeur(const QString& s);
    virtual void SetCheckSum(bool b);
    virtual void SetWriteText(bool b);
    virtual double HauteurBarresPour(double h, double t);
    virtual double HauteurTotalePour(double t);
    virtual void Dessiner() = 0;
    virtual QString GetValeurExemple() = 0;
    virtual void Initialiser();
    virtual bool CodeValide(const QString& s);
    virtual int TaillePoliceTexte();

protected:
    // Draws a width pattern from PosX, moving PosX past every element.
    void DessinerMotif(const QString& motif, bool barreEnPremier, bool ajouterEspace);
    // Height of the text line ("W" in the canvas font), 0 without a canvas.
    double HauteurLigne() const;
};

class TCBStrategie2par5 : public TCodeBarreStrategie
{
public:
    TCBStrategie2par5();
    QString GetCodeComplet() override;
    QString GetMotif(QChar c) override;
    double GetLargeurBarres() override;
    bool CaractereValide(QChar c) override;
    void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) override;
    void Dessiner() override;
    QString GetValeurExemple() override;
};

class TCBStrategieCode39 : public TCodeBarreStrategie
{
public:
    explicit TCBStrategieCode39(bool etendu = false);
    bool Etendu = false; // full ASCII

    static QString DescriptionCode39();
    static QString DescriptionCode39Etendu();

    QString GetCodeComplet() override;
    QString GetMotif(QChar c) override;
    double GetLargeurBarres() override;
    bool CaractereValide(QChar c) override;
    void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) override;
    void Dessiner() override;
    QString GetValeurExemple() override;
};

class TCBStrategieCode128 : public TCodeBarreStrategie
{
public:
    TCBStrategieCode128();
    int JeuUtilise = 0;           // start set: 0 A, 1 B, 2 C
    bool OptimisationAuto = true;
    int JeuCourant = 0;           // set in force while encoding

    QString GetCodeComplet() override;
    QString GetMotif(QChar c) override;
    QString GetCheckSum() override;
    double GetLargeurBarres() override;
    bool CaractereValide(QChar c) override;
    void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) override;
    void Dessiner() override;
    QString GetValeurExemple() override;

    // Encodes Valeur from JeuCourant; at most longueurMax values when > 0.
    std::vector<int> Encoder(int longueurMax);
    // Chooses JeuUtilise and returns the symbol values (check not included).
    std::vector<int> ChoisirJeu();
    int ValeurCle();
};

class TCBStrategieUPC : public TCodeBarreStrategie
{
public:
    TCBStrategieUPC();
    bool DessinGarde = false; // guard bars take the full height
    int Longueur = 11;        // data digits without the check digit

    void DessinerTexte() override;
    QString GetCodeComplet() override;
    QString GetMotif(QChar c) override;
    QString GetCheckSum() override;
    double GetHauteurTotale() override;
    double GetLargeurBarres() override;
    bool CaractereValide(QChar c) override;
    void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) override;
    void SetValeur(const QString& s) override;
    void SetCheckSum(bool b) override;
    double HauteurBarresPour(double h, double t) override;
    double HauteurTotalePour(double t) override;
    void Dessiner() override;
    int TaillePoliceTexte() override;

protected:
    virtual QString EchantillonPolice() const;
    // Draws texte with its left edge at x and its top at y, on white.
    void DessinerMorceau(double x, double y, const QString& texte);
    void DessinerCentre(double centre, double y, const QString& texte);
};

class TCBStrategieEAN13 : public TCBStrategieUPC
{
public:
    TCBStrategieEAN13();
    void DessinerTexte() override;
    QString GetValeurExemple() override;
    bool CodeValide(const QString& s) override;
    int TaillePoliceTexte() override;
};

class TCBStrategieEAN8 : public TCBStrategieUPC
{
public:
    TCBStrategieEAN8();
    void DessinerTexte() override;
    double GetLargeurBarres() override;
    void Dessiner() override;
    QString GetValeurExemple() override;
    bool CodeValide(const QString& s) override;
    int TaillePoliceTexte() override;

protected:
    QString EchantillonPolice() const override;
};

// The six symbologies in TypeCodeBarre order, each with its list caption.
// The designer creates it once and looks strategies up by TypeCodeBarre.
class TListeSymbologies
{
public:
    TListeSymbologies();
    ~TListeSymbologies();

    int Count() const { return static_cast<int>(m_strategies.size()); }
    QString Libelle(int typeCodeBarre) const;
    QStringList Libelles() const;
    // nullptr outside 0..5.
    TCodeBarreStrategie* Strategie(int typeCodeBarre) const;

private:
    std::vector<std::unique_ptr<TCodeBarreStrategie>> m_strategies;
};
