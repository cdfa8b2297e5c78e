#pragma once
// Encodings shared by the screen strategies (CodesBarres.h) and the report
// drawers (RpBars.h): width tables, start/stop/guard patterns, the Code 128
// encoder with its start-set choice, and the check characters.  Both families
// draw from these so that the screen and the printed symbol never differ.

#include <QChar>
#include <QString>
#include <vector>

namespace vl::barres {

// Rounding used for every pixel coordinate: to nearest, ties to even.
int Arrondi(double v);

// A pattern is held as an integer whose decimal digits are the element widths
// (21112 = "2","1","1","1","2").
QString Motif(long long motif);

// --- Interleaved 2 of 5 -----------------------------------------------------
extern const int Motifs2par5[10];
constexpr int Start2par5 = 1111;
constexpr int Stop2par5 = 211;
bool Caractere2par5(QChar c);
// Digit pairs interleaved: bars from the first digit, spaces from the second.
QString MotifPaire2par5(QChar d1, QChar d2);
QString CodeComplet2par5(const QString& valeur);

// --- Code 39 ----------------------------------------------------------------
extern const char* const Caracteres39; // the 43 characters, table order
extern const int Motifs39[43];
constexpr int Etoile39 = 121121211;
extern const char* const Ascii39[128]; // full-ASCII replacements
bool Caractere39(QChar c);
bool CaractereAscii(QChar c);
// Pattern of one of the 43 characters ('*' included); empty when unknown.
QString Motif39(QChar c);
QString CodeComplet39(const QString& valeur, bool etendu);

// --- Code 128 ---------------------------------------------------------------
// Function characters carried by the value string.
constexpr char16_t F1 = 0xF1, F2 = 0xF2, F3 = 0xF3, F4 = 0xF4,
                   F5 = 0xF5, F6 = 0xF6, F7 = 0xF7, F8 = 0xF8;
enum Jeu128 { JeuA = 0, JeuB = 1, JeuC = 2 };
extern const int Motifs128[103];
extern const int Starts128[3];
constexpr long long Stop128 = 2331112;
const QString& CaracteresJeuA();
const QString& CaracteresJeuB();
bool Caractere128(QChar c);
// Encodes valeur starting in jeuCourant (updated as the encoder switches
// sets); stops once longueurMax values are produced when longueurMax > 0.
std::vector<int> Encoder128(const QString& valeur, int& jeuCourant, int longueurMax);
// Picks the start set giving the shortest encoding (ties keep A, then B).
std::vector<int> ChoisirJeu128(const QString& valeur, int& jeuUtilise);
int Cle128(int jeuUtilise, const std::vector<int>& valeurs);

// --- EAN / UPC --------------------------------------------------------------
extern const int MotifsEAN[10]; // left-hand odd parity, space first
constexpr int GardeCote = 111;
constexpr int GardeCentre = 11111;
bool ChiffreValide(QChar c);
// Whether the left-hand digit at 1-based position 2..6 takes even parity
// (reversed pattern) for the EAN-13 first digit p.
bool PariteInverseeEAN13(int position, int p);
// GS1 check digit of the data digits; longueur is the data digit count.
int CleGS1(const QString& valeur, int longueur);
// Keeps the first longueur characters or pads with '0' on the left.
QString AjusterLongueur(const QString& valeur, int longueur);

// Drops the characters above code 200 (the Code 128 function bytes) from a
// human-readable text.
QString TexteLisible(const QString& valeur);

} // namespace vl::barres
