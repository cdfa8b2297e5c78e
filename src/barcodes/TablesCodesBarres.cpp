#include "barcodes/TablesCodesBarres.h"

#include <cmath>

namespace vl::barres {

int Arrondi(double v)
{
    // lrint follows the current rounding mode, which is to nearest, ties to even.
    return static_cast<int>(std::lrint(v));
}

QString Motif(long long motif)
{
    return QString::number(motif);
}

// --- Interleaved 2 of 5 -----------------------------------------------------

const int Motifs2par5[10] = {
    11221, // 0
    21112, // 1
    12112, // 2
    22111, // 3
    11212, // 4
    21211, // 5
    12211, // 6
    11122, // 7
    21121, // 8
    12121, // 9
};

bool Caractere2par5(QChar c)
{
    return ChiffreValide(c);
}

QString MotifPaire2par5(QChar d1, QChar d2)
{
    const QString p = Motif(Motifs2par5[d1.unicode() - '0']);
    const QString q = Motif(Motifs2par5[d2.unicode() - '0']);
    QString r;
    for (int i = 0; i < 5; ++i) {
        r += p[i];
        r += q[i];
    }
    return r;
}

QString CodeComplet2par5(const QString& valeur)
{
    if (valeur.size() % 2 != 0)
        return QLatin1Char('0') + valeur;
    return valeur;
}

// --- Code 39 ----------------------------------------------------------------

const char* const Caracteres39 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

const int Motifs39[43] = {
    111221211, 211211112, 112211112, 212211111, 111221112, // 0 1 2 3 4
    211221111, 112221111, 111211212, 211211211, 112211211, // 5 6 7 8 9
    211112112, 112112112, 212112111, 111122112, 211122111, // A B C D E
    112122111, 111112212, 211112211, 112112211, 111122211, // F G H I J
    211111122, 112111122, 212111121, 111121122, 211121121, // K L M N O
    112121121, 111111222, 211111221, 112111221, 111121221, // P Q R S T
    221111112, 122111112, 222111111, 121121112, 221121111, // U V W X Y
    122121111, 121111212, 221111211, 122111211, 121212111, // Z - . space $
    121211121, 121112121, 111212121,                       // / + %
};

const char* const Ascii39[128] = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ", "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-", ".", "/O",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O",
    "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",
};

static int Index39(QChar c)
{
    if (c.unicode() == 0 || c.unicode() > 127)
        return -1;
    for (int i = 0; i < 43; ++i)
        if (Caracteres39[i] == static_cast<char>(c.unicode()))
            return i;
    return -1;
}

bool Caractere39(QChar c)
{
    return Index39(c) >= 0;
}

bool CaractereAscii(QChar c)
{
    return c.unicode() <= 127;
}

QString Motif39(QChar c)
{
    if (c == QLatin1Char('*'))
        return Motif(Etoile39);
    const int i = Index39(c);
    return i < 0 ? QString() : Motif(Motifs39[i]);
}

QString CodeComplet39(const QString& valeur, bool etendu)
{
    if (!etendu)
        return valeur;
    QString r;
    for (QChar c : valeur)
        if (c.unicode() <= 127)
            r += QLatin1String(Ascii39[c.unicode()]);
    return r;
}

// --- Code 128 ---------------------------------------------------------------

const int Motifs128[103] = {
    212222, 222122, 222221, 121223, 121322, 131222, 122213, 122312, 132212, 221213, //   0
    221312, 231212, 112232, 122132, 122231, 113222, 123122, 123221, 223211, 221132, //  10
    221231, 213212, 223112, 312131, 311222, 321122, 321221, 312212, 322112, 322211, //  20
    212123, 212321, 232121, 111323, 131123, 131321, 112313, 132113, 132311, 211313, //  30
    231113, 231311, 112133, 112331, 132131, 113123, 113321, 133121, 313121, 211331, //  40
    231131, 213113, 213311, 213131, 311123, 311321, 331121, 312113, 312311, 332111, //  50
    314111, 221411, 431111, 111224, 111422, 121124, 121421, 141122, 141221, 112214, //  60
    112412, 122114, 122411, 142112, 142211, 241211, 221114, 413111, 241112, 134111, //  70
    111242, 121142, 121241, 114212, 124112, 124211, 411212, 421112, 421211, 212141, //  80
    214121, 412121, 111143, 111341, 131141, 114113, 114311, 411113, 411311, 113141, //  90
    114131, 311141, 411131,                                                         // 100
};

const int Starts128[3] = {211412, 211214, 211232};

const QString& CaracteresJeuA()
{
    static const QString jeu = [] {
        QString s;
        for (int c = 32; c <= 95; ++c)
            s += QChar(c);
        for (int c = 0; c <= 31; ++c)
            s += QChar(c);
        for (char16_t f : {F3, F2, F8, F7, F6, F4, F1})
            s += QChar(f);
        return s;
    }();
    return jeu;
}

const QString& CaracteresJeuB()
{
    static const QString jeu = [] {
        QString s;
        for (int c = 32; c <= 127; ++c)
            s += QChar(c);
        for (char16_t f : {F3, F2, F8, F7, F4, F5, F1})
            s += QChar(f);
        return s;
    }();
    return jeu;
}

bool Caractere128(QChar c)
{
    return c.unicode() <= 127 || (c.unicode() >= F1 && c.unicode() <= F8);
}

static bool EstChiffre(const QString& s, int i)
{
    return i >= 0 && i < s.size() && s[i].unicode() >= '0' && s[i].unicode() <= '9';
}

std::vector<int> Encoder128(const QString& valeur, int& jeuCourant, int longueurMax)
{
    const QString& jeuA = CaracteresJeuA();
    const QString& jeuB = CaracteresJeuB();
    std::vector<int> r;
    const int n = static_cast<int>(valeur.size());
    int pos = 0; // index of the next character to read
    while (pos < n) {
        if (longueurMax > 0 && static_cast<int>(r.size()) >= longueurMax)
            break;
        const int ic = pos++;
        const QChar c = valeur[ic];
        const char16_t u = c.unicode();
        // Explicit set switches are ignored: the set choice is always automatic.
        if (u == F5 || u == F6 || u == F7 || u == F8)
            continue;
        if (jeuCourant != JeuC) {
            int chiffres = 0;
            while (EstChiffre(valeur, ic + chiffres))
                ++chiffres;
            if (chiffres >= 6 && chiffres % 2 == 0) {
                r.push_back(99);
                jeuCourant = JeuC;
            }
        }
        const int ia = static_cast<int>(jeuA.indexOf(c));
        const int ib = static_cast<int>(jeuB.indexOf(c));
        switch (jeuCourant) {
        case JeuA:
            if (ia >= 0) {
                r.push_back(ia);
            } else if (ib >= 0) {
                r.push_back(100);
                r.push_back(ib);
                jeuCourant = JeuB;
            }
            break;
        case JeuB:
            if (ib >= 0) {
                r.push_back(ib);
            } else if (ia >= 0) {
                r.push_back(101);
                r.push_back(ia);
                jeuCourant = JeuA;
            }
            break;
        default: {
            const bool quatreChiffres = EstChiffre(valeur, ic + 1) && EstChiffre(valeur, ic + 2)
                && EstChiffre(valeur, ic + 3) && EstChiffre(valeur, ic + 4);
            if (EstChiffre(valeur, ic) && EstChiffre(valeur, ic + 1)) {
                r.push_back(10 * (u - '0') + (valeur[ic + 1].unicode() - '0'));
                ++pos;
            } else if (u == F1) {
                r.push_back(102);
            } else if (ib >= 0) {
                r.push_back(100);
                r.push_back(ib);
                if (quatreChiffres)
                    r.push_back(99);
                else
                    jeuCourant = JeuB;
            } else if (ia >= 0) {
                r.push_back(101);
                r.push_back(ia);
                if (quatreChiffres)
                    r.push_back(99);
                else
                    jeuCourant = JeuA;
            }
            break;
        }
        }
    }
    return r;
}

std::vector<int> ChoisirJeu128(const QString& valeur, int& jeuUtilise)
{
    int jeu = JeuA;
    std::vector<int> garde = Encoder128(valeur, jeu, 0);
    jeuUtilise = JeuA;
    for (int essai : {int(JeuB), int(JeuC)}) {
        jeu = essai;
        std::vector<int> r = Encoder128(valeur, jeu, static_cast<int>(garde.size()));
        if (r.size() < garde.size()) {
            garde = std::move(r);
            jeuUtilise = essai;
        }
    }
    return garde;
}

int Cle128(int jeuUtilise, const std::vector<int>& valeurs)
{
    long long somme = 103 + jeuUtilise;
    for (size_t i = 0; i < valeurs.size(); ++i)
        somme += static_cast<long long>(i + 1) * valeurs[i];
    return static_cast<int>(somme % 103);
}

// --- EAN / UPC --------------------------------------------------------------

const int MotifsEAN[10] = {3211, 2221, 2122, 1411, 1132, 1231, 1114, 1312, 1213, 3112};

bool ChiffreValide(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool PariteInverseeEAN13(int position, int p)
{
    switch (position) {
    case 2: return p >= 4;
    case 3: return p == 1 || p == 2 || p == 3 || p == 5 || p == 6 || p == 9;
    case 4: return p == 2 || p == 3 || p == 6 || p == 7 || p == 8;
    case 5: return p == 1 || p == 3 || p == 4 || p == 8 || p == 9;
    case 6: return p == 1 || p == 2 || p == 4 || p == 5 || p == 7;
    default: return false;
    }
}

int CleGS1(const QString& valeur, int longueur)
{
    QString v = valeur;
    int d0 = 0;
    if (longueur % 2 == 0 && !v.isEmpty()) {
        d0 = ChiffreValide(v[0]) ? v[0].unicode() - '0' : 0;
        v.remove(0, 1);
    }
    int pairs = 0, impairs = 0;
    for (int i = 0; i < v.size(); ++i) {
        const int d = ChiffreValide(v[i]) ? v[i].unicode() - '0' : 0;
        if (i % 2 == 0)
            pairs += d;
        else
            impairs += d;
    }
    return (10 - (3 * pairs + impairs + d0) % 10) % 10;
}

QString AjusterLongueur(const QString& valeur, int longueur)
{
    if (valeur.size() >= longueur)
        return valeur.left(longueur);
    return QString(longueur - valeur.size(), QLatin1Char('0')) + valeur;
}

QString TexteLisible(const QString& valeur)
{
    QString r;
    for (QChar c : valeur)
        if (c.unicode() <= 200)
            r += c;
    return r;
}

} // namespace vl::barres
