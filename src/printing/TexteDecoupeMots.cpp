#include "printing/TexteDecoupeMots.h"

namespace {

// Appends the pieces of `texte` cut after each space (each keeps its space).
void CouperAuxEspaces(const QString& texte, QStringList& morceaux)
{
    qsizetype debut = 0;
    for (qsizetype p = texte.indexOf(QLatin1Char(' ')); p >= 0; p = texte.indexOf(QLatin1Char(' '), debut)) {
        morceaux << texte.mid(debut, p - debut + 1);
        debut = p + 1;
    }
    morceaux << texte.mid(debut);
}

// Position and length of the first line break of `texte` from `depuis`:
// CR LF, or a lone LF or CR.
qsizetype ChercherSaut(const QString& texte, qsizetype depuis, int& longueur)
{
    for (qsizetype i = depuis; i < texte.size(); ++i) {
        const QChar ch = texte.at(i);
        if (ch == QLatin1Char('\r')) {
            longueur = (i + 1 < texte.size() && texte.at(i + 1) == QLatin1Char('\n')) ? 2 : 1;
            return i;
        }
        if (ch == QLatin1Char('\n')) {
            longueur = 1;
            return i;
        }
    }
    return -1;
}

} // namespace

const QString& TDecoupeMotsStrategie::MarqueurSautLigne()
{
    static const QString marqueur(QStringLiteral("\r"));
    return marqueur;
}

void TSimpleDecoupeMotsStrategie::Decouper(const QString& texte, QStringList& mots)
{
    mots.clear();
    CouperAuxEspaces(texte, mots);
}

void TMemoDecoupeMotsStrategie::Decouper(const QString& texte, QStringList& mots)
{
    mots.clear();
    if (texte == QLatin1String(" ")) {
        mots << texte;
        return;
    }
    QStringList morceaux;
    CouperAuxEspaces(texte, morceaux);
    for (const QString& morceau : morceaux) {
        qsizetype debut = 0;
        int longueur = 0;
        for (qsizetype p = ChercherSaut(morceau, 0, longueur); p >= 0; p = ChercherSaut(morceau, debut, longueur)) {
            mots << morceau.mid(debut, p - debut) << MarqueurSautLigne();
            debut = p + longueur;
        }
        mots << morceau.mid(debut);
    }
    // A text ending with a break or a space gives no extra empty line.
    if (!mots.isEmpty() && mots.last().isEmpty()) {
        mots.removeLast();
        if (!mots.isEmpty() && mots.last() == MarqueurSautLigne())
            mots.removeLast();
    }
}
