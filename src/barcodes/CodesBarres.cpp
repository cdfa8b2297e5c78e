#include "barcodes/CodesBarres.h"

#include "barcodes/TablesCodesBarres.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

using namespace vl::barres;

namespace {

QString Tr(const char* texte)
{
    return QCoreApplication::translate("CodesBarres", texte);
}

} // namespace

// --- EInvalidCodBar -------------------------------------------------------------

QString EInvalidCodBar::MessageCodeInvalide()
{
    return Tr("le code n'est pas valide");
}

QString EInvalidCodBar::MessageChampInvalide()
{
    return Tr("Champ invalide pour ce type de code");
}

// --- TCodeBarreStrategie ------------------------------------------------------

TCodeBarreStrategie::TCodeBarreStrategie()
{
    Haut = 0;
    Initialiser();
}

TCodeBarreStrategie::~TCodeBarreStrategie() = default;

double TCodeBarreStrategie::HauteurLigne() const
{
    return Canvas ? Canvas->TextHeight(QStringLiteral("W")) : 0.0;
}

void TCodeBarreStrategie::DessinerTexte()
{
    if (!Canvas)
        return;
    const QString texte = TexteLisible(Valeur);
    Canvas->SetCouleurPinceau(Qt::white);
    const QRect r(QPoint(Arrondi(Gauche), Arrondi(Haut + HauteurBarres)),
                  QPoint(Arrondi(Gauche + GetLargeurBarres()) - 1,
                         Arrondi(Haut + HauteurBarres + HauteurLigne()) - 1));
    Canvas->DrawTextCentre(r, texte);
    Canvas->SetCouleurPinceau(Qt::black);
}

QString TCodeBarreStrategie::GetCodeComplet()
{
    return Valeur;
}

QString TCodeBarreStrategie::GetCheckSum()
{
    return QString();
}

double TCodeBarreStrategie::GetHauteurTotale()
{
    return WriteText ? HauteurBarres + HauteurLigne() : HauteurBarres;
}

int TCodeBarreStrategie::GetLargeurTotale()
{
    return Arrondi(GetLargeurBarres()) + 20;
}

double TCodeBarreStrategie::GetLargeurBarres()
{
    return 0;
}

bool TCodeBarreStrategie::CaractereValide(QChar)
{
    return true;
}

void TCodeBarreStrategie::SetValeur(const QString& s)
{
    QString v;
    for (QChar c : s)
        if (CaractereValide(c))
            v += c;
    Valeur = v;
}

void TCodeBarreStrategie::SetCheckSum(bool b)
{
    CheckSum = b;
}

void TCodeBarreStrategie::SetWriteText(bool b)
{
    WriteText = b;
}

double TCodeBarreStrategie::HauteurBarresPour(double h, double t)
{
    return h - t;
}

double TCodeBarreStrategie::HauteurTotalePour(double t)
{
    return HauteurBarres + t;
}

void TCodeBarreStrategie::Initialiser()
{
    WriteText = true;
    HauteurBarres = 70;
    Module = 1;
    Gauche = 10;
}

bool TCodeBarreStrategie::CodeValide(const QString& s)
{
    for (QChar c : s)
        if (!CaractereValide(c))
            return false;
    return true;
}

int TCodeBarreStrategie::TaillePoliceTexte()
{
    return Canvas ? Canvas->TaillePolice() : 0;
}

void TCodeBarreStrategie::DessinerMotif(const QString& motif, bool barreEnPremier, bool ajouterEspace)
{
    const QColor ancien = Canvas->CouleurPinceau();
    Canvas->SetCouleurPinceau(Qt::black);
    double largeur = Module;
    double hauteur = HauteurBarres;
    double haut = PosY;
    for (int i = 1; i <= motif.size(); ++i) {
        DimensionElement(motif[i - 1], largeur, hauteur, haut);
        const bool barre = (i % 2 == 1) == barreEnPremier;
        if (barre)
            Canvas->Rectangle(Arrondi(PosX), Arrondi(haut), Arrondi(PosX + largeur),
                              Arrondi(haut + hauteur));
        PosX += largeur;
    }
    Canvas->SetCouleurPinceau(ancien);
    if (ajouterEspace)
        PosX += Module;
}

// --- Interleaved 2 of 5 -------------------------------------------------------

TCBStrategie2par5::TCBStrategie2par5()
{
    ModuloCheckSum = 10;
    CheckSum = false;
    Ratio = 3.0;
    Description = Tr("Code de longueur variable.\r\n\r\nCaractères autorises : chiffres uniquement.");
}

QString TCBStrategie2par5::GetCodeComplet()
{
    return CodeComplet2par5(Valeur);
}

QString TCBStrategie2par5::GetMotif(QChar c)
{
    return ChiffreValide(c) ? Motif(Motifs2par5[c.unicode() - '0']) : QString();
}

double TCBStrategie2par5::GetLargeurBarres()
{
    const int n = static_cast<int>(Valeur.size());
    return (2 * ((n + 1) / 2) * (2 * Ratio + 3) + 6 + Ratio) * Module;
}

bool TCBStrategie2par5::CaractereValide(QChar c)
{
    return Caractere2par5(c);
}

void TCBStrategie2par5::DimensionElement(QChar c, double& largeur, double&, double&)
{
    if (c == QLatin1Char('1'))
        largeur = Module;
    else if (c == QLatin1Char('2'))
        largeur = Module * Ratio;
}

void TCBStrategie2par5::Dessiner()
{
    if (!Canvas)
        return;
    PosX = Gauche;
    PosY = Haut;
    DessinerMotif(Motif(Start2par5), true, false);
    const QString code = GetCodeComplet();
    for (int i = 0; i + 1 < code.size(); i += 2)
        DessinerMotif(MotifPaire2par5(code[i], code[i + 1]), true, false);
    DessinerMotif(Motif(Stop2par5), true, false);
    if (WriteText)
        DessinerTexte();
}

QString TCBStrategie2par5::GetValeurExemple()
{
    return QStringLiteral("12345");
}

// --- Code 39 ------------------------------------------------------------------

TCBStrategieCode39::TCBStrategieCode39(bool etendu)
    : Etendu(etendu)
{
    ModuloCheckSum = 43;
    CheckSum = false;
    Ratio = 3.0;
    Description = etendu ? DescriptionCode39Etendu() : DescriptionCode39();
}

QString TCBStrategieCode39::DescriptionCode39()
{
    return Tr("Code de longueur variable.\r\n\r\nCaractères autorisés :\r\n\t-  chiffres,\r\n"
              "\t-  lettres en majuscule,\r\n\t-  -. $/+%");
}

QString TCBStrategieCode39::DescriptionCode39Etendu()
{
    return Tr("Code de longueur variable.\r\n\r\nLes 128 caractères du code ascii de base sont "
              "autorisés : chiffres, lettres en majuscule et minuscule, caractères du clavier, "
              "codes de contrôle.");
}

QString TCBStrategieCode39::GetCodeComplet()
{
    return CodeComplet39(Valeur, Etendu);
}

QString TCBStrategieCode39::GetMotif(QChar c)
{
    return Motif39(c);
}

double TCBStrategieCode39::GetLargeurBarres()
{
    const int l = static_cast<int>(GetCodeComplet().size());
    return ((3 * Ratio + 6) * (l + 2) + (l + 1)) * Module;
}

bool TCBStrategieCode39::CaractereValide(QChar c)
{
    return Etendu ? CaractereAscii(c) : Caractere39(c);
}

void TCBStrategieCode39::DimensionElement(QChar c, double& largeur, double&, double&)
{
    if (c == QLatin1Char('1'))
        largeur = Module;
    else if (c == QLatin1Char('2'))
        largeur = Module * Ratio;
}

void TCBStrategieCode39::Dessiner()
{
    if (!Canvas)
        return;
    PosX = Gauche;
    PosY = Haut;
    DessinerMotif(GetMotif(QLatin1Char('*')), true, true);
    for (QChar c : GetCodeComplet())
        DessinerMotif(GetMotif(c), true, true);
    DessinerMotif(GetMotif(QLatin1Char('*')), true, true);
    if (WriteText)
        DessinerTexte();
}

QString TCBStrategieCode39::GetValeurExemple()
{
    return QStringLiteral("CODE 39");
}

// --- Code 128 -----------------------------------------------------------------

TCBStrategieCode128::TCBStrategieCode128()
{
    ModuloCheckSum = 103;
    CheckSum = true;
    OptimisationAuto = true;
    Description = Tr("Code de longueur variable.\r\n\r\nPlusieurs jeux possibles de 128 caractères."
                     "\r\nOptimisation automatique.\r\nSomme de contrôle calculée automatiquement.");
}

QString TCBStrategieCode128::GetCodeComplet()
{
    return Valeur;
}

QString TCBStrategieCode128::GetMotif(QChar c)
{
    const int v = c.unicode();
    return v < 103 ? Motif(Motifs128[v]) : QString();
}

std::vector<int> TCBStrategieCode128::Encoder(int longueurMax)
{
    return Encoder128(Valeur, JeuCourant, longueurMax);
}

std::vector<int> TCBStrategieCode128::ChoisirJeu()
{
    return ChoisirJeu128(Valeur, JeuUtilise);
}

int TCBStrategieCode128::ValeurCle()
{
    const std::vector<int> valeurs = ChoisirJeu();
    return Cle128(JeuUtilise, valeurs);
}

QString TCBStrategieCode128::GetCheckSum()
{
    return QString(QChar(ValeurCle()));
}

double TCBStrategieCode128::GetLargeurBarres()
{
    const double n = static_cast<double>(ChoisirJeu().size());
    return (11 * n + 35) * Module;
}

bool TCBStrategieCode128::CaractereValide(QChar c)
{
    return Caractere128(c);
}

void TCBStrategieCode128::DimensionElement(QChar c, double& largeur, double&, double&)
{
    largeur = (c.unicode() - '0') * Module;
}

void TCBStrategieCode128::Dessiner()
{
    if (!Canvas)
        return;
    PosX = Gauche;
    PosY = Haut;
    const std::vector<int> valeurs = ChoisirJeu();
    DessinerMotif(Motif(Starts128[JeuUtilise]), true, false);
    for (int v : valeurs)
        DessinerMotif(Motif(Motifs128[v]), true, false);
    DessinerMotif(Motif(Motifs128[Cle128(JeuUtilise, valeurs)]), true, false);
    DessinerMotif(Motif(Stop128), true, false);
    if (WriteText)
        DessinerTexte();
}

QString TCBStrategieCode128::GetValeurExemple()
{
    return QStringLiteral("Code 128");
}

// --- UPC-A and the EAN family ---------------------------------------------------

TCBStrategieUPC::TCBStrategieUPC()
{
    ModuloCheckSum = 10;
    CheckSum = true;
    Longueur = 11;
}

void TCBStrategieUPC::DessinerTexte()
{
}

QString TCBStrategieUPC::GetCodeComplet()
{
    return Valeur + GetCheckSum();
}

QString TCBStrategieUPC::GetMotif(QChar c)
{
    return ChiffreValide(c) ? Motif(MotifsEAN[c.unicode() - '0']) : QString();
}

QString TCBStrategieUPC::GetCheckSum()
{
    return QString::number(CleGS1(Valeur, Longueur));
}

double TCBStrategieUPC::GetHauteurTotale()
{
    return WriteText ? HauteurBarres + HauteurLigne() / 2 : HauteurBarres;
}

double TCBStrategieUPC::GetLargeurBarres()
{
    return 95 * Module;
}

bool TCBStrategieUPC::CaractereValide(QChar c)
{
    return ChiffreValide(c);
}

void TCBStrategieUPC::DimensionElement(QChar c, double& largeur, double& hauteur, double&)
{
    largeur = (c.unicode() - '0') * Module;
    if (DessinGarde || !WriteText)
        hauteur = HauteurBarres;
    else
        hauteur = HauteurBarres - HauteurLigne() / 2;
}

void TCBStrategieUPC::SetValeur(const QString& s)
{
    TCodeBarreStrategie::SetValeur(s);
    Valeur = AjusterLongueur(Valeur, Longueur);
}

void TCBStrategieUPC::SetCheckSum(bool)
{
    CheckSum = true;
}

double TCBStrategieUPC::HauteurBarresPour(double h, double t)
{
    return h - t / 2;
}

double TCBStrategieUPC::HauteurTotalePour(double t)
{
    return HauteurBarres + t / 2;
}

void TCBStrategieUPC::Dessiner()
{
    if (!Canvas)
        return;
    // Valeur is a public field: bring it back to Longueur digits before use.
    SetValeur(Valeur);
    PosX = Gauche;
    PosY = Haut;
    QString code = GetCodeComplet();
    int p = 0;
    if (Longueur % 2 == 0) {
        p = code[0].unicode() - '0';
        code.remove(0, 1);
    }
    Canvas->SetTaillePolice(TaillePoliceTexte());
    DessinGarde = true;
    DessinerMotif(Motif(GardeCote), true, false);
    for (int i = 1; i <= 6; ++i) {
        DessinGarde = false;
        QString motif = GetMotif(code[i - 1]);
        if (PariteInverseeEAN13(i, p))
            std::reverse(motif.begin(), motif.end());
        DessinerMotif(motif, false, false);
    }
    DessinGarde = true;
    DessinerMotif(Motif(GardeCentre), false, false);
    DessinGarde = false;
    for (int i = 7; i <= 12; ++i)
        DessinerMotif(GetMotif(code[i - 1]), true, false);
    DessinGarde = true;
    DessinerMotif(Motif(GardeCote), true, false);
    DessinGarde = false;
    if (WriteText)
        DessinerTexte();
}

QString TCBStrategieUPC::EchantillonPolice() const
{
    return QString(Longueur == 11 ? 10 : Longueur, QLatin1Char('0'));
}

int TCBStrategieUPC::TaillePoliceTexte()
{
    if (!Canvas)
        return 0;
    const int depart = Canvas->TaillePolice();
    const QString echantillon = EchantillonPolice();
    const double limite = GetLargeurBarres() - 11 * Module;
    int s = depart;
    while (s > 0 && Canvas->TextWidth(echantillon) > limite) {
        --s;
        if (s > 0)
            Canvas->SetTaillePolice(s);
    }
    if (s <= 0)
        s = depart;
    Canvas->SetTaillePolice(depart);
    return Arrondi(0.9 * s);
}

void TCBStrategieUPC::DessinerMorceau(double x, double y, const QString& texte)
{
    Canvas->TextOut(Arrondi(x), Arrondi(y), texte);
}

void TCBStrategieUPC::DessinerCentre(double centre, double y, const QString& texte)
{
    const double l = Canvas->TextWidth(texte);
    DessinerMorceau(Arrondi(centre - l / 2), y, texte);
}

// --- EAN-13 -------------------------------------------------------------------

TCBStrategieEAN13::TCBStrategieEAN13()
{
    Longueur = 12;
    Description = Tr("Code de 12 caractères.\r\n\r\nCaractères autorisés : chiffres uniquement.\r\n"
                     "Somme de contrôle calculée automatiquement.");
}

void TCBStrategieEAN13::DessinerTexte()
{
    if (!Canvas)
        return;
    const QString texte = Valeur + GetCheckSum();
    Canvas->SetCouleurPinceau(Qt::white);
    const double y = Haut + HauteurBarres - HauteurLigne() / 2;
    const QString premier = texte.left(1);
    const int droite = Arrondi(Gauche - 2 * Module - 1);
    DessinerMorceau(droite - Canvas->TextWidth(premier), y, premier);
    DessinerCentre(Gauche + 24 * Module, y, texte.mid(1, 6));
    DessinerCentre(Gauche + 71 * Module, y, texte.mid(7, 6));
    Canvas->SetCouleurPinceau(Qt::black);
}

QString TCBStrategieEAN13::GetValeurExemple()
{
    return QStringLiteral("012345678901");
}

bool TCBStrategieEAN13::CodeValide(const QString& s)
{
    return s.size() == Longueur && TCodeBarreStrategie::CodeValide(s);
}

int TCBStrategieEAN13::TaillePoliceTexte()
{
    return TCBStrategieUPC::TaillePoliceTexte();
}

// --- EAN-8 --------------------------------------------------------------------

TCBStrategieEAN8::TCBStrategieEAN8()
{
    Longueur = 7;
    Description = Tr("Code de 7 caractères.\r\n\r\nCaractères autorisés : chiffres uniquement.\r\n"
                     "Somme de contrôle calculée automatiquement.");
}

void TCBStrategieEAN8::DessinerTexte()
{
    if (!Canvas)
        return;
    const QString texte = Valeur + GetCheckSum();
    Canvas->SetCouleurPinceau(Qt::white);
    const double y = Haut + HauteurBarres - HauteurLigne() / 2;
    DessinerCentre(Gauche + 17 * Module, y, texte.left(4));
    DessinerCentre(Gauche + 50 * Module, y, texte.mid(4, 4));
    Canvas->SetCouleurPinceau(Qt::black);
}

double TCBStrategieEAN8::GetLargeurBarres()
{
    return 67 * Module;
}

void TCBStrategieEAN8::Dessiner()
{
    if (!Canvas)
        return;
    SetValeur(Valeur);
    PosX = Gauche;
    PosY = Haut;
    const QString code = GetCodeComplet();
    Canvas->SetTaillePolice(TaillePoliceTexte());
    DessinGarde = true;
    DessinerMotif(Motif(GardeCote), true, false);
    DessinGarde = false;
    for (int i = 1; i <= 4; ++i)
        DessinerMotif(GetMotif(code[i - 1]), false, false);
    DessinGarde = true;
    DessinerMotif(Motif(GardeCentre), false, false);
    DessinGarde = false;
    for (int i = 5; i <= 8; ++i)
        DessinerMotif(GetMotif(code[i - 1]), true, false);
    DessinGarde = true;
    DessinerMotif(Motif(GardeCote), true, false);
    DessinGarde = false;
    if (WriteText)
        DessinerTexte();
}

QString TCBStrategieEAN8::GetValeurExemple()
{
    return QStringLiteral("0123456");
}

bool TCBStrategieEAN8::CodeValide(const QString& s)
{
    return s.size() == Longueur && TCodeBarreStrategie::CodeValide(s);
}

int TCBStrategieEAN8::TaillePoliceTexte()
{
    return TCBStrategieUPC::TaillePoliceTexte();
}

QString TCBStrategieEAN8::EchantillonPolice() const
{
    // The screen sample keeps eight zeros, one more than the printed one.
    return QStringLiteral("00000000");
}

// --- TListeSymbologies --------------------------------------------------------

TListeSymbologies::TListeSymbologies()
{
    m_strategies.push_back(std::make_unique<TCBStrategieEAN13>());
    m_strategies.push_back(std::make_unique<TCBStrategie2par5>());
    m_strategies.push_back(std::make_unique<TCBStrategieCode39>(false));
    m_strategies.push_back(std::make_unique<TCBStrategieCode39>(true));
    m_strategies.push_back(std::make_unique<TCBStrategieCode128>());
    m_strategies.push_back(std::make_unique<TCBStrategieEAN8>());
}

TListeSymbologies::~TListeSymbologies() = default;

QString TListeSymbologies::Libelle(int typeCodeBarre) const
{
    switch (typeCodeBarre) {
    case 0: return Tr("EAN 13");
    case 1: return Tr("2 par 5 entrelacé");
    case 2: return Tr("Code 39");
    case 3: return Tr("Code 39 étendu");
    case 4: return Tr("Code 128");
    case 5: return Tr("EAN 8");
    default: return QString();
    }
}

QStringList TListeSymbologies::Libelles() const
{
    QStringList r;
    for (int i = 0; i < Count(); ++i)
        r << Libelle(i);
    return r;
}

TCodeBarreStrategie* TListeSymbologies::Strategie(int typeCodeBarre) const
{
    if (typeCodeBarre < 0 || typeCodeBarre >= Count())
        return nullptr;
    return m_strategies[static_cast<size_t>(typeCodeBarre)].get();
}
