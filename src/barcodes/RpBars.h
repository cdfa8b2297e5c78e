#pragma once
// Barcode drawers of the report canvas: one class per symbology, all using
// the encodings of the screen strategies (TablesCodesBarres.h), drawn in
// report units (cm) and turned by a right angle when asked.  The barcode
// element printer creates one drawer per printed barcode, configures it, calls
// PrintXY and frees it.
//
// Coordinates: u runs along the code, v across it (from the bars' top edge to
// their bottom edge).  Rot0: u = page x, v = page y; Rot90: u = page y read
// upwards, v = page x; Rot180: u = page x read leftwards, v = page y read
// upwards; Rot270: u = page y read downwards, v = page x read leftwards.

#include "report/Canevas.h"

#include <QString>
#include <memory>

enum TBarCodeRotation { Rot0, Rot90, Rot180, Rot270 };

class TRPBarsBase
{
public:
    explicit TRPBarsBase(vl::Canevas* baseReport);
    virtual ~TRPBarsBase();
    TRPBarsBase(const TRPBarsBase&) = delete;
    TRPBarsBase& operator=(const TRPBarsBase&) = delete;

    double WideFactor = 3.0;  // wide / narrow, 2 of 5 and Code 39
    double BarWidth = 0.01;   // module, cm
    double BarHeight = 0.5;   // cm
    double Position = 0;      // start along the code (u)
    double Top = 0;           // start across the code (v)
    vl::Canevas* BaseReport;  // not owned
    QString Text;             // the filtered value
    double CurrX = 0;         // cursor along the code
    double CurrY = 0;         // cursor across the code
    vl::Pinceau SavedBrush;
    vl::Plume SavedPen;
    bool UseChecksum = false;
    bool PrintReadable = true;
    TBarCodeRotation BarCodeRotation = Rot0;

    virtual void SetText(const QString& s);
    virtual void PrintReadableText();
    virtual double Width();
    virtual double Height();
    virtual void SetUseChecksum(bool b);
    virtual QString GetMotif(QChar c) = 0;
    virtual QString GetCheckSum();
    virtual void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) = 0;
    virtual QString GetCodeComplet();
    virtual void SetPrintReadable(bool b);
    virtual void Print() = 0;
    virtual bool IsValidChar(QChar c);
    virtual double DigitFontSize();

    // Position := u, Top := v, then Print.
    void PrintXY(double u, double v);
    // True when every character of s passes IsValidChar.
    bool TexteValide(const QString& s);
    // Height of the human-readable line: 0 when PrintReadable is off.
    double ReadableHeight() const;

    // Rotation of an element angle: 0 and 360 give Rot0, 90 Rot90, 180 Rot180,
    // 270 Rot270; false for any other angle.
    static bool RotationPourAngle(int angle, TBarCodeRotation& rotation);

protected:
    // Draws a width pattern from CurrX, moving CurrX along the code.
    void PrintBars(const QString& motif, bool barreEnPremier, bool ajouterEspace);
    // A bar's rectangle with its third coordinate pulled in by 1/XDPI.
    void BarRect(double x1, double y1, double x2, double y2);
    // Runs dessin with a solid black brush and pen; the canvas brush and pen
    // are restored afterwards, also when an exception passes.
    template <class F> void AvecCrayonNoir(F dessin);
    // Text of 2 of 5, Code 39 and Code 128: centred under the bars.
    void ImprimerTexteCentre();
    // Moves the cursor one element along the code.
    void Avancer(double largeur);
};

class TRPBars2of5 : public TRPBarsBase
{
public:
    explicit TRPBars2of5(vl::Canevas* baseReport);
    double Width() override;
    QString GetMotif(QChar c) override;
    void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) override;
    QString GetCodeComplet() override;
    void Print() override;
    bool IsValidChar(QChar c) override;
};

class TRPBarsCode39 : public TRPBarsBase
{
public:
    explicit TRPBarsCode39(vl::Canevas* baseReport);
    bool Extended = false; // full ASCII

    double Width() override;
    QString GetMotif(QChar c) override;
    void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) override;
    QString GetCodeComplet() override;
    void Print() override;
    bool IsValidChar(QChar c) override;
};

class TRPBarsCode128 : public TRPBarsBase
{
public:
    explicit TRPBarsCode128(vl::Canevas* baseReport);
    int StartSet = 0;     // requested; the choice is automatic
    int UsedSet = 0;      // chosen start set: 0 A, 1 B, 2 C
    int CurrentSet = 0;
    bool Optimize = true;

    double Width() override;
    QString GetMotif(QChar c) override;
    QString GetCheckSum() override;
    void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) override;
    void Print() override;
    bool IsValidChar(QChar c) override;
};

// UPC-A, and the base of the two EAN drawers.
class TRPBarsUPC : public TRPBarsBase
{
public:
    explicit TRPBarsUPC(vl::Canevas* baseReport);
    bool GuardBars = false; // guards take the full bar height
    int DigitCount = 11;    // data digits without the check digit

    void SetText(const QString& s) override;
    void PrintReadableText() override;
    double Width() override;
    double Height() override;
    void SetUseChecksum(bool b) override;
    QString GetMotif(QChar c) override;
    QString GetCheckSum() override;
    void DimensionElement(QChar c, double& largeur, double& hauteur, double& haut) override;
    QString GetCodeComplet() override;
    void Print() override;
    bool IsValidChar(QChar c) override;
    double DigitFontSize() override;

protected:
    virtual QString EchantillonPolice() const;
    // The digit patterns and guards, from CurrX.
    virtual void PrintDigits(const QString& data, int parite);
};

class TRPBarsEAN : public TRPBarsUPC
{
public:
    explicit TRPBarsEAN(vl::Canevas* baseReport);
    void PrintReadableText() override;
};

class TRPBarsEAN8 : public TRPBarsUPC
{
public:
    explicit TRPBarsEAN8(vl::Canevas* baseReport);
    void PrintReadableText() override;
    double Width() override;

protected:
    QString EchantillonPolice() const override;
    void PrintDigits(const QString& data, int parite) override;
};

// The drawer of a TypeCodeBarre (0 EAN 13, 1 interleaved 2 of 5, 2 Code 39,
// 3 Code 39 full ASCII, 4 Code 128, 5 EAN 8); nullptr for any other value.
std::unique_ptr<TRPBarsBase> CreerRPBars(int typeCodeBarre, vl::Canevas* baseReport);
