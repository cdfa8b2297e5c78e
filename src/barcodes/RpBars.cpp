#include "barcodes/RpBars.h"

#include "barcodes/TablesCodesBarres.h"

#include <algorithm>

using namespace vl::barres;

// --- TRPBarsBase ------------------------------------------------------------------

TRPBarsBase::TRPBarsBase(vl::Canevas* baseReport)
    : BaseReport(baseReport)
{
    PrintReadable = true;
    BarCodeRotation = Rot0;
    BarHeight = 0.5;
    BarWidth = 0.01;
    if (BaseReport) {
        Position = BaseReport->X();
        Top = BaseReport->Y();
    }
}

TRPBarsBase::~TRPBarsBase() = default;

void TRPBarsBase::SetText(const QString& s)
{
    QString t;
    for (QChar c : s)
        if (IsValidChar(c))
            t += c;
    Text = t;
}

void TRPBarsBase::PrintReadableText()
{
    ImprimerTexteCentre();
}

double TRPBarsBase::Width()
{
    return 0;
}

double TRPBarsBase::Height()
{
    return ReadableHeight() + BarHeight;
}

void TRPBarsBase::SetUseChecksum(bool b)
{
    UseChecksum = b;
}

QString TRPBarsBase::GetCheckSum()
{
    return QString();
}

QString TRPBarsBase::GetCodeComplet()
{
    return Text;
}

void TRPBarsBase::SetPrintReadable(bool b)
{
    PrintReadable = b;
}

bool TRPBarsBase::IsValidChar(QChar)
{
    return true;
}

double TRPBarsBase::DigitFontSize()
{
    return BaseReport ? BaseReport->GetPolice().taille : 0.0;
}

void TRPBarsBase::PrintXY(double u, double v)
{
    Position = u;
    Top = v;
    Print();
}

bool TRPBarsBase::TexteValide(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [this](QChar c) { return IsValidChar(c); });
}

double TRPBarsBase::ReadableHeight() const
{
    if (!PrintReadable || !BaseReport)
        return 0;
    return BaseReport->HauteurLigne();
}

bool TRPBarsBase::RotationPourAngle(int angle, TBarCodeRotation& rotation)
{
    switch (angle) {
    case 0:
    case 360: rotation = Rot0; return true;
    case 90: rotation = Rot90; return true;
    case 180: rotation = Rot180; return true;
    case 270: rotation = Rot270; return true;
    default: return false;
    }
}

void TRPBarsBase::Avancer(double largeur)
{
    if (BarCodeRotation == Rot0 || BarCodeRotation == Rot270)
        CurrX += largeur;
    else
        CurrX -= largeur;
}

void TRPBarsBase::BarRect(double x1, double y1, double x2, double y2)
{
    const int dpi = BaseReport->XDPI();
    BaseReport->Rectangle(x1, y1, dpi > 0 ? x2 - 1.0 / dpi : x2, y2);
}

void TRPBarsBase::PrintBars(const QString& motif, bool barreEnPremier, bool ajouterEspace)
{
    double largeur = BarWidth;
    double hauteur = BarHeight;
    double haut = CurrY;
    for (int i = 1; i <= motif.size(); ++i) {
        DimensionElement(motif[i - 1], largeur, hauteur, haut);
        const bool barre = (i % 2 == 1) == barreEnPremier;
        if (barre) {
            const double w = largeur, h = hauteur, c = CurrY;
            switch (BarCodeRotation) {
            case Rot0: BarRect(CurrX, c, CurrX + w, c + h); break;
            case Rot90: BarRect(c, CurrX, c + h, CurrX - w); break;
            case Rot180: BarRect(CurrX, c, CurrX - w, c - h); break;
            case Rot270: BarRect(c, CurrX, c - h, CurrX + w); break;
            }
        }
        Avancer(largeur);
    }
    if (ajouterEspace)
        Avancer(BarWidth);
}

template <class F>
void TRPBarsBase::AvecCrayonNoir(F dessin)
{
    if (!BaseReport)
        return;
    SavedBrush = BaseReport->GetPinceau();
    SavedPen = BaseReport->GetPlume();
    struct Restauration
    {
        TRPBarsBase* d;
        ~Restauration()
        {
            d->BaseReport->SetPinceau(d->SavedBrush);
            d->BaseReport->SetPlume(d->SavedPen);
        }
    } restauration{this};
    vl::Pinceau noir;
    noir.couleur = vl::clBlack;
    noir.style = vl::bsSolid;
    BaseReport->SetPinceau(noir);
    vl::Plume plume;
    plume.couleur = vl::clBlack;
    plume.style = vl::psInsideFrame;
    plume.largeur = 1;
    plume.mode = vl::pmCopy;
    BaseReport->SetPlume(plume);
    dessin();
}

void TRPBarsBase::ImprimerTexteCentre()
{
    if (!PrintReadable || !BaseReport)
        return;
    vl::Canevas& r = *BaseReport;
    const QString texte = TexteLisible(Text);
    const int rotation = r.GetPolice().rotation;
    const double t = r.LargeurTexte(texte);
    const double a = r.HauteurLigne();
    const double d = r.Descente();
    const double milieu = (BarCodeRotation == Rot0 || BarCodeRotation == Rot270)
        ? Position + Width() / 2
        : Position - Width() / 2;
    switch (BarCodeRotation) {
    case Rot0:
        r.SetPoliceRotation(0);
        r.SetHautLigne(Top + BarHeight);
        r.SetX(milieu - t / 2);
        break;
    case Rot90:
        r.SetPoliceRotation(90);
        r.AllerA(Top + BarHeight + a - d, milieu + t / 2);
        break;
    case Rot180:
        r.SetPoliceRotation(180);
        r.AllerA(milieu + t / 2, Top - BarHeight - ReadableHeight() + d);
        break;
    case Rot270:
        r.SetPoliceRotation(270);
        r.AllerA(Top - BarHeight - a + d, milieu - t / 2);
        break;
    }
    r.Imprimer(texte);
    r.SetPoliceRotation(rotation);
}

// --- Interleaved 2 of 5 ---------------------------------------------------------

TRPBars2of5::TRPBars2of5(vl::Canevas* baseReport)
    : TRPBarsBase(baseReport)
{
    WideFactor = 3.0;
    UseChecksum = false;
}

double TRPBars2of5::Width()
{
    const int n = static_cast<int>(Text.size());
    return (2 * ((n + 1) / 2) * (2 * WideFactor + 3) + 6 + WideFactor) * BarWidth;
}

QString TRPBars2of5::GetMotif(QChar c)
{
    return ChiffreValide(c) ? Motif(Motifs2par5[c.unicode() - '0']) : QString();
}

void TRPBars2of5::DimensionElement(QChar c, double& largeur, double&, double&)
{
    if (c == QLatin1Char('1'))
        largeur = BarWidth;
    else if (c == QLatin1Char('2'))
        largeur = BarWidth * WideFactor;
}

QString TRPBars2of5::GetCodeComplet()
{
    return CodeComplet2par5(Text);
}

bool TRPBars2of5::IsValidChar(QChar c)
{
    return Caractere2par5(c);
}

void TRPBars2of5::Print()
{
    AvecCrayonNoir([this] {
        const QString data = GetCodeComplet();
        CurrX = Position;
        CurrY = Top;
        PrintBars(Motif(Start2par5), true, false);
        for (int i = 0; i + 1 < data.size(); i += 2)
            PrintBars(MotifPaire2par5(data[i], data[i + 1]), true, false);
        PrintBars(Motif(Stop2par5), true, false);
        PrintReadableText();
    });
}

// --- Code 39 ---------------------------------------------------------------------

TRPBarsCode39::TRPBarsCode39(vl::Canevas* baseReport)
    : TRPBarsBase(baseReport)
{
    WideFactor = 3.0;
    UseChecksum = false;
    Extended = false;
}

double TRPBarsCode39::Width()
{
    const int l = static_cast<int>(GetCodeComplet().size());
    return ((3 * WideFactor + 6) * (l + 2) + (l + 1)) * BarWidth;
}

QString TRPBarsCode39::GetMotif(QChar c)
{
    return Motif39(c);
}

void TRPBarsCode39::DimensionElement(QChar c, double& largeur, double&, double&)
{
    if (c == QLatin1Char('1'))
        largeur = BarWidth;
    else if (c == QLatin1Char('2'))
        largeur = BarWidth * WideFactor;
}

QString TRPBarsCode39::GetCodeComplet()
{
    return CodeComplet39(Text, Extended);
}

bool TRPBarsCode39::IsValidChar(QChar c)
{
    return Extended ? CaractereAscii(c) : Caractere39(c);
}

void TRPBarsCode39::Print()
{
    AvecCrayonNoir([this] {
        const QString data = GetCodeComplet();
        CurrX = Position;
        CurrY = Top;
        PrintBars(GetMotif(QLatin1Char('*')), true, true);
        for (QChar c : data)
            PrintBars(GetMotif(c), true, true);
        PrintBars(GetMotif(QLatin1Char('*')), true, true);
        PrintReadableText();
    });
}

// --- Code 128 --------------------------------------------------------------------

TRPBarsCode128::TRPBarsCode128(vl::Canevas* baseReport)
    : TRPBarsBase(baseReport)
{
    UseChecksum = true;
    Optimize = true;
}

double TRPBarsCode128::Width()
{
    const double n = static_cast<double>(ChoisirJeu128(Text, UsedSet).size());
    return (11 * n + 35) * BarWidth;
}

QString TRPBarsCode128::GetMotif(QChar c)
{
    const int v = c.unicode();
    return v < 103 ? Motif(Motifs128[v]) : QString();
}

QString TRPBarsCode128::GetCheckSum()
{
    const std::vector<int> valeurs = ChoisirJeu128(Text, UsedSet);
    return QString(QChar(Cle128(UsedSet, valeurs)));
}

void TRPBarsCode128::DimensionElement(QChar c, double& largeur, double&, double&)
{
    largeur = (c.unicode() - '0') * BarWidth;
}

bool TRPBarsCode128::IsValidChar(QChar c)
{
    return Caractere128(c);
}

void TRPBarsCode128::Print()
{
    AvecCrayonNoir([this] {
        const std::vector<int> valeurs = ChoisirJeu128(Text, UsedSet);
        CurrentSet = UsedSet;
        CurrX = Position;
        CurrY = Top;
        PrintBars(Motif(Starts128[UsedSet]), true, false);
        for (int v : valeurs)
            PrintBars(Motif(Motifs128[v]), true, false);
        PrintBars(Motif(Motifs128[Cle128(UsedSet, valeurs)]), true, false);
        PrintBars(Motif(Stop128), true, false);
        PrintReadableText();
    });
}

// --- UPC-A and the EAN family ------------------------------------------------------

TRPBarsUPC::TRPBarsUPC(vl::Canevas* baseReport)
    : TRPBarsBase(baseReport)
{
    DigitCount = 11;
    UseChecksum = true;
}

void TRPBarsUPC::SetText(const QString& s)
{
    TRPBarsBase::SetText(s);
    Text = AjusterLongueur(Text, DigitCount);
}

void TRPBarsUPC::PrintReadableText()
{
}

double TRPBarsUPC::Width()
{
    return 95 * BarWidth;
}

double TRPBarsUPC::Height()
{
    return ReadableHeight() / 2 + BarHeight;
}

void TRPBarsUPC::SetUseChecksum(bool)
{
    UseChecksum = true;
}

QString TRPBarsUPC::GetMotif(QChar c)
{
    return ChiffreValide(c) ? Motif(MotifsEAN[c.unicode() - '0']) : QString();
}

QString TRPBarsUPC::GetCheckSum()
{
    return QString::number(CleGS1(Text, DigitCount));
}

void TRPBarsUPC::DimensionElement(QChar c, double& largeur, double& hauteur, double&)
{
    largeur = (c.unicode() - '0') * BarWidth;
    if (GuardBars || !PrintReadable)
        hauteur = BarHeight;
    else
        hauteur = BarHeight - ReadableHeight() / 2;
}

QString TRPBarsUPC::GetCodeComplet()
{
    return Text + GetCheckSum();
}

bool TRPBarsUPC::IsValidChar(QChar c)
{
    return ChiffreValide(c);
}

QString TRPBarsUPC::EchantillonPolice() const
{
    return QString(DigitCount == 11 ? 10 : DigitCount, QLatin1Char('0'));
}

double TRPBarsUPC::DigitFontSize()
{
    if (!BaseReport)
        return 0;
    vl::Canevas& r = *BaseReport;
    const double depart = r.GetPolice().taille;
    const QString echantillon = EchantillonPolice();
    double s = depart;
    // Steps counted in tenths so that repeated subtraction cannot leave a
    // tiny positive size where zero is meant.
    for (int pas = 1; r.LargeurTexte(echantillon) > Width() - 11 * BarWidth; ++pas) {
        s = depart - pas * 0.1;
        if (s <= 1e-9) {
            s = depart;
            break;
        }
        r.SetPoliceTaille(s);
    }
    r.SetPoliceTaille(depart);
    return 0.9 * s;
}

void TRPBarsUPC::PrintDigits(const QString& data, int parite)
{
    GuardBars = true;
    PrintBars(Motif(GardeCote), true, false);
    GuardBars = false;
    for (int i = 1; i <= 6; ++i) {
        QString motif = GetMotif(data[i - 1]);
        if (PariteInverseeEAN13(i, parite))
            std::reverse(motif.begin(), motif.end());
        PrintBars(motif, false, false);
    }
    GuardBars = true;
    PrintBars(Motif(GardeCentre), false, false);
    GuardBars = false;
    for (int i = 7; i <= 12; ++i)
        PrintBars(GetMotif(data[i - 1]), true, false);
    GuardBars = true;
    PrintBars(Motif(GardeCote), true, false);
    GuardBars = false;
}

void TRPBarsUPC::Print()
{
    AvecCrayonNoir([this] {
        // Text is a public field: bring it back to DigitCount digits first.
        SetText(Text);
        QString data = GetCodeComplet();
        int parite = 0;
        if (DigitCount % 2 == 0) {
            parite = data[0].unicode() - '0';
            data.remove(0, 1);
        }
        vl::Canevas& r = *BaseReport;
        const double taille = r.GetPolice().taille;
        struct RestaurationTaille
        {
            vl::Canevas& r;
            double taille;
            ~RestaurationTaille() { r.SetPoliceTaille(taille); }
        } restauration{r, taille};
        r.SetPoliceTaille(DigitFontSize());
        CurrX = Position;
        CurrY = Top;
        PrintDigits(data, parite);
        if (PrintReadable)
            PrintReadableText();
    });
}

// --- EAN-13 --------------------------------------------------------------------

TRPBarsEAN::TRPBarsEAN(vl::Canevas* baseReport)
    : TRPBarsUPC(baseReport)
{
    DigitCount = 12;
    UseChecksum = true;
}

void TRPBarsEAN::PrintReadableText()
{
    if (!BaseReport)
        return;
    vl::Canevas& r = *BaseReport;
    const QString texte = Text + GetCheckSum();
    const QString g1 = texte.left(1), g2 = texte.mid(1, 6), g3 = texte.mid(7, 6);
    const double L = Position, b = BarWidth, a = r.HauteurLigne();
    const double B = (BarCodeRotation == Rot0 || BarCodeRotation == Rot90)
        ? Top + BarHeight + ReadableHeight()
        : Top - BarHeight - ReadableHeight();
    const double q = (42 * b - r.LargeurTexte(QStringLiteral("000000"))) / 2;
    const double z = r.LargeurTexte(QStringLiteral("0"));
    const int rotation = r.GetPolice().rotation;
    switch (BarCodeRotation) {
    case Rot0:
        r.SetPoliceRotation(0);
        r.SetHautLigne(Top + BarHeight - a / 2);
        r.ImprimerDroite(g1, L - 2 * b);
        r.ImprimerCentre(g2, L + 24 * b);
        r.ImprimerCentre(g3, L + 71 * b);
        break;
    case Rot90: {
        r.SetPoliceRotation(90);
        const double x = B - 2 * a / 3;
        r.ImprimerXY(x, L + 2 * b + z, g1);
        r.ImprimerXY(x, L - 6 * b - q, g2);
        r.ImprimerXY(x, L - 50 * b - q, g3);
        break;
    }
    case Rot180: {
        r.SetPoliceRotation(180);
        const double y = B + 2 * a / 3;
        r.ImprimerXY(L + z, y, g1);
        r.ImprimerXY(L - 3 * b - q, y, g2);
        r.ImprimerXY(L - 50 * b - q, y, g3);
        break;
    }
    case Rot270: {
        r.SetPoliceRotation(270);
        const double x = B + 2 * a / 3;
        r.ImprimerXY(x, L - 2 * b - z, g1);
        r.ImprimerXY(x, L + 4 * b + q, g2);
        r.ImprimerXY(x, L + 50 * b + q, g3);
        break;
    }
    }
    r.SetPoliceRotation(rotation);
}

// --- EAN-8 ---------------------------------------------------------------------

TRPBarsEAN8::TRPBarsEAN8(vl::Canevas* baseReport)
    : TRPBarsUPC(baseReport)
{
    DigitCount = 7;
    UseChecksum = true;
}

double TRPBarsEAN8::Width()
{
    return 67 * BarWidth;
}

QString TRPBarsEAN8::EchantillonPolice() const
{
    return QStringLiteral("0000000");
}

void TRPBarsEAN8::PrintDigits(const QString& data, int)
{
    GuardBars = true;
    PrintBars(Motif(GardeCote), true, false);
    GuardBars = false;
    for (int i = 1; i <= 4; ++i)
        PrintBars(GetMotif(data[i - 1]), false, false);
    GuardBars = true;
    PrintBars(Motif(GardeCentre), false, false);
    GuardBars = false;
    for (int i = 5; i <= 8; ++i)
        PrintBars(GetMotif(data[i - 1]), true, false);
    GuardBars = true;
    PrintBars(Motif(GardeCote), true, false);
    GuardBars = false;
}

void TRPBarsEAN8::PrintReadableText()
{
    if (!BaseReport)
        return;
    vl::Canevas& r = *BaseReport;
    const QString texte = Text + GetCheckSum();
    const QString g1 = texte.left(4), g2 = texte.mid(4, 4);
    const double L = Position, b = BarWidth, a = r.HauteurLigne();
    const double B = (BarCodeRotation == Rot0 || BarCodeRotation == Rot90)
        ? Top + BarHeight + ReadableHeight()
        : Top - BarHeight - ReadableHeight();
    const double q = (28 * b - r.LargeurTexte(QStringLiteral("0000"))) / 2;
    const int rotation = r.GetPolice().rotation;
    switch (BarCodeRotation) {
    case Rot0:
        r.SetPoliceRotation(0);
        r.SetHautLigne(Top + BarHeight - a / 2);
        r.ImprimerCentre(g1, L + 17 * b);
        r.ImprimerCentre(g2, L + 50 * b);
        break;
    case Rot90: {
        r.SetPoliceRotation(90);
        const double x = B - 2 * a / 3;
        r.ImprimerXY(x, L - 6 * b - q, g1);
        r.ImprimerXY(x, L - 36 * b - q, g2);
        break;
    }
    case Rot180: {
        r.SetPoliceRotation(180);
        const double y = B + 2 * a / 3;
        r.ImprimerXY(L - 3 * b - q, y, g1);
        r.ImprimerXY(L - 36 * b - q, y, g2);
        break;
    }
    case Rot270: {
        r.SetPoliceRotation(270);
        const double x = B + 2 * a / 3;
        r.ImprimerXY(x, L + 4 * b + q, g1);
        r.ImprimerXY(x, L + 36 * b + q, g2);
        break;
    }
    }
    r.SetPoliceRotation(rotation);
}

// --- Factory -----------------------------------------------------------------------

std::unique_ptr<TRPBarsBase> CreerRPBars(int typeCodeBarre, vl::Canevas* baseReport)
{
    switch (typeCodeBarre) {
    case 0: return std::make_unique<TRPBarsEAN>(baseReport);
    case 1: return std::make_unique<TRPBars2of5>(baseReport);
    case 2: return std::make_unique<TRPBarsCode39>(baseReport);
    case 3: {
        auto d = std::make_unique<TRPBarsCode39>(baseReport);
        d->Extended = true;
        return d;
    }
    case 4: return std::make_unique<TRPBarsCode128>(baseReport);
    case 5: return std::make_unique<TRPBarsEAN8>(baseReport);
    default: return nullptr;
    }
}
