#include "printing/TexteStrategies.h"

#include "model/Metier.h"
#include "report/Canevas.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vl {

ErreurHauteurTexte::ErreurHauteurTexte(const QString& nomElement)
    : ErreurRapport(QCoreApplication::translate("TAlphanumStrategie",
                                                "La hauteur de la boite texte %1 est insuffisante")
                        .arg(nomElement))
    , m_nom(nomElement)
{
}

} // namespace vl

namespace {

constexpr double Tolerance = 0.00001;

double Radians(int degres) { return degres * std::numbers::pi / 180.0; }

} // namespace

TAlphanumStrategie::TAlphanumStrategie(TPrintMesureTexte* mesureurImpression)
    : m_mesureurImpression(mesureurImpression ? mesureurImpression : &m_mesureurPropre)
{
}

double TAlphanumStrategie::LargeurDisponible(double hauteurBloc, int angleReplie,
                                             double hauteurBoite, double largeurBoite) const
{
    if (angleReplie == 0)
        return hauteurBoite >= hauteurBloc ? largeurBoite : -1;
    if (angleReplie == 90)
        return largeurBoite >= hauteurBloc ? hauteurBoite : -1;
    const double c = std::cos(Radians(angleReplie));
    const double s = std::sin(Radians(angleReplie));
    const double w = std::min((largeurBoite - s * hauteurBloc) / c, (hauteurBoite - c * hauteurBloc) / s);
    if (c * hauteurBloc <= hauteurBoite + Tolerance
        && std::max(s * hauteurBloc + c * w, s * hauteurBloc) <= largeurBoite + Tolerance)
        return w;
    return -1;
}

int TAlphanumStrategie::LargeurDisponibleEcran(int hauteurBloc, int angleReplie,
                                               int hauteurBoite, int largeurBoite) const
{
    if (angleReplie == 0)
        return hauteurBoite >= hauteurBloc ? largeurBoite : -1;
    if (angleReplie == 90)
        return largeurBoite >= hauteurBloc ? hauteurBoite : -1;
    const double k = std::cos(Radians(angleReplie));
    const double s = std::sin(Radians(angleReplie));
    const int w = vl::ArrondiPair(std::min((largeurBoite - s * hauteurBloc) / k,
                                           (hauteurBoite - k * hauteurBloc) / s));
    if (hauteurBoite >= vl::ArrondiPair(k * hauteurBloc)
        && largeurBoite >= vl::ArrondiPair(std::max(s * hauteurBloc + k * w, s * hauteurBloc)))
        return w;
    return -1;
}

bool TAlphanumStrategie::RemplirLignes(int nbLignes, bool ajustement, double largeurMax)
{
    const auto largeurDe = [this](const QString& s) { return m_mesureur ? m_mesureur->Mesurer(s) : 0.0; };
    m_lignes.clear();
    const int nbMots = int(m_mots.size());
    int i = -1;   // last word consumed
    while (m_lignes.size() < nbLignes) {
        QString ligne, avant;
        double largeur = 0;
        // Only a word met on this line may be cut onto the next one.
        bool motLong = false;
        while (largeur <= largeurMax && i < nbMots - 1) {
            avant = ligne;
            ++i;
            const QString& mot = m_mots.at(i);
            if (mot == TDecoupeMotsStrategie::MarqueurSautLigne())
                break;
            motLong = largeurDe(mot) > largeurMax;
            if (motLong) {
                if (ajustement)
                    return false;
                break;
            }
            ligne += mot;
            largeur = largeurDe(ligne);
        }
        avant.chop(1);   // its trailing space
        if (largeur > largeurMax) {
            m_lignes << avant;
            --i;         // the overflowing word starts the next line
        } else {
            m_lignes << (ligne.isEmpty() ? QStringLiteral(" ") : ligne);
        }
        if (motLong && m_lignes.size() < nbLignes) {
            // The longest fitting start of the word; the rest is not printed.
            const QString& mot = m_mots.at(i);
            QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, mot);
            qsizetype fin = 0;
            for (qsizetype p = graphemes.toNextBoundary(); p > 0; p = graphemes.toNextBoundary()) {
                if (largeurDe(mot.left(p)) > largeurMax)
                    break;
                fin = p;
            }
            m_lignes << (fin > 0 ? mot.left(fin) : QStringLiteral(" "));
        }
    }
    return i == nbMots - 1;
}

bool TAlphanumStrategie::EstPoliceSymbole(const QString& nomPolice)
{
    const QStringList familles = QFontDatabase::families(QFontDatabase::Symbol);
    for (QString famille : familles) {
        // "Family [Foundry]" when several foundries share the name.
        const qsizetype crochet = famille.indexOf(QLatin1String(" ["));
        if (crochet > 0)
            famille.truncate(crochet);
        if (famille.compare(nomPolice, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

TMiseEnPageTexte TAlphanumStrategie::PreparerTexte(const TVlAlphaNum& feuille, const QString& texte,
                                                   TDecoupeMotsStrategie& decoupage, vl::Canevas& rapport,
                                                   int angleCourant, int angleReplie)
{
    const QString aDecouper = texte.isEmpty() ? QStringLiteral(" ") : texte;
    m_mesureurImpression->SetRapport(&rapport);
    m_mesureur = m_mesureurImpression;
    decoupage.Decouper(aDecouper, m_mots);

    vl::Police police;
    police.nom = feuille.PoliceNom();
    police.taille = feuille.PoliceTaille();
    police.couleur = vl::Couleur(feuille.PoliceCouleur());
    police.gras = feuille.StyleGras();
    police.italique = feuille.StyleItalique();
    police.souligne = feuille.StyleUnderline();
    police.barre = feuille.StyleStrikeOut();
    police.jeuCaracteres = EstPoliceSymbole(police.nom) ? vl::JeuCaracteresSymbole : vl::JeuCaracteresDefaut;
    police.rotation = angleCourant;
    rapport.SetMethodeHauteurLigne(vl::lhmFont);
    rapport.SetPolice(police);

    ViderLignes();
    const double largeurBoite = feuille.Largeur();
    const double hauteurBoite = feuille.Hauteur();
    TMiseEnPageTexte resultat;
    const auto echec = [&]() {
        ViderLignes();
        throw vl::ErreurHauteurTexte(feuille.Nom());
    };

    if (feuille.AjusterPolice()) {
        // One line; the font loses a point per attempt until the text fits,
        // down to the smallest size the report renders, where the text is
        // printed cut if it still does not fit.
        int taille = std::max(feuille.PoliceTaille(), TaillePoliceMinimale) + 1;
        resultat.NbLignes = 1;
        for (;;) {
            --taille;
            rapport.SetPoliceTaille(taille);
            const double h = rapport.HauteurLigne();
            const double w = LargeurDisponible(h, angleReplie, hauteurBoite, largeurBoite);
            if (w >= 0) {
                resultat.HauteurBloc = h;
                resultat.HauteurLigne = h;
                resultat.LargeurLigne = w;
                if (RemplirLignes(1, true, w))
                    break;
            }
            if (taille <= TaillePoliceMinimale) {
                if (w < 0)
                    echec();
                RemplirLignes(1, false, w);
                break;
            }
        }
    } else {
        resultat.HauteurLigne = rapport.HauteurLigne();
        // Each line consumes at least one word, a cut word two lines: more
        // lines than that cannot help (only a font of no height gets there).
        const int maxLignes = 2 * int(m_mots.size()) + 2;
        for (int k = 1;; ++k) {
            const double b = k * resultat.HauteurLigne;
            const double w = LargeurDisponible(b, angleReplie, hauteurBoite, largeurBoite);
            if (w < 0)
                echec();
            resultat.HauteurBloc = b;
            resultat.LargeurLigne = w;
            resultat.NbLignes = k;
            if (RemplirLignes(k, false, w) || k >= maxLignes)
                break;
        }
    }
    return resultat;
}
