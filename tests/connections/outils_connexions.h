#pragma once
// Fixture of the connection tests: a temporary root with a store built from
// the shipped data, a controller on it with scripted windows, and helpers to
// write data files.
#include "connections/Connexions.h"
#include "model/ConnexionIO.h"
#include "model/ConstructionBase.h"
#include "model/DmIDE.h"
#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace vltest::connexions {

// Windows that record what they were asked to show.
class FenetresScriptees : public TFenetresConnexion
{
public:
    void AfficherErreur(const QString& message) override
    {
        TFenetresConnexion::AfficherErreur(message);
        Erreurs << message;
    }
    bool Confirmer(const QString& question) override
    {
        Questions << question;
        return Reponse;
    }
    void Consulter(TControleurConnexion&, bool) override { ++Consultations; }
    bool Editer(TControleurConnexion& c, bool creation) override
    {
        return Editeur ? Editeur(c, creation) : false;
    }
    void AfficherTables(TControleurConnexion&, const QStringList& tables) override { Tables = tables; }

    QStringList Erreurs;
    QStringList Questions;
    bool Reponse = true;
    int Consultations = 0;
    QStringList Tables;
    std::function<bool(TControleurConnexion&, bool)> Editeur;
};

inline void EcrireFichier(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(octets) != octets.size())
        ADD_FAILURE() << "cannot write " << chemin.toStdString();
}

inline QByteArray LireFichier(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Sets the modification time of a file (file dates decide schema rebuilds).
inline void Dater(const QString& chemin, const QDateTime& quand)
{
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(quand, QFileDevice::FileModificationTime));
}

struct ChampDbf
{
    QByteArray nom;
    char type;          // 'C', 'N' or 'Y'
    int longueur;
    int decimales = 0;
};

// A small dBase table (FoxPro header when it has a currency field). Values
// are given as text; currency values as their amount in units.
inline QByteArray FaireDbf(const QList<ChampDbf>& champs, const QList<QStringList>& lignes)
{
    bool foxpro = false;
    int tailleEnregistrement = 1;
    for (const auto& c : champs) {
        foxpro = foxpro || c.type == 'Y';
        tailleEnregistrement += c.longueur;
    }
    const int tailleEntete = 32 + 32 * int(champs.size()) + 1 + (foxpro ? 263 : 0);
    QByteArray d(tailleEntete, '\0');
    d[0] = char(foxpro ? 0x30 : 0x03);
    d[1] = char(124);
    d[2] = 1;
    d[3] = 1;
    const quint32 n = quint32(lignes.size());
    for (int i = 0; i < 4; ++i)
        d[4 + i] = char((n >> (8 * i)) & 0xFF);
    d[8] = char(tailleEntete & 0xFF);
    d[9] = char(tailleEntete >> 8);
    d[10] = char(tailleEnregistrement & 0xFF);
    d[11] = char(tailleEnregistrement >> 8);
    d[29] = char(0x03);   // Windows ANSI
    int p = 32;
    int offset = 1;
    for (const auto& c : champs) {
        for (int i = 0; i < c.nom.size() && i < 10; ++i)
            d[p + i] = c.nom[i];
        d[p + 11] = c.type;
        for (int i = 0; i < 4; ++i)
            d[p + 12 + i] = char((offset >> (8 * i)) & 0xFF);
        d[p + 16] = char(c.longueur);
        d[p + 17] = char(c.decimales);
        offset += c.longueur;
        p += 32;
    }
    d[p] = '\x0D';
    for (const auto& l : lignes) {
        QByteArray rec(1, ' ');
        for (int k = 0; k < champs.size(); ++k) {
            const auto& c = champs[k];
            const QString v = k < l.size() ? l[k] : QString();
            if (c.type == 'Y') {
                const qint64 brut = qint64(qRound64(v.toDouble() * 10000.0));
                for (int i = 0; i < 8; ++i)
                    rec += char((quint64(brut) >> (8 * i)) & 0xFF);
            } else if (c.type == 'N') {
                rec += v.toLatin1().rightJustified(c.longueur, ' ', true);
            } else {
                rec += v.toLatin1().leftJustified(c.longueur, ' ', true);
            }
        }
        d += rec;
    }
    d += '\x1A';
    return d;
}

class BaseConnexions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ConstruireFichierBase(vltest::DossierSources() + "/data/store",
                              racine.DossierBase() + TDMConnexioIO::NomFichierBase());
        io = std::make_unique<TDMConnexioIO>();
        ide = std::make_unique<TDmIDE>(io->IOConnexion());
        controleur = std::make_unique<TControleurConnexion>(io->IOConnexion(), &fenetres, ide.get());
        donnees = racine.Chemin() + "/donnees/";
        QDir().mkpath(donnees);
    }
    void TearDown() override
    {
        controleur.reset();
        ide.reset();
        io.reset();
    }

    std::shared_ptr<TVlBDEConnexion> ConnexionFichier(const QString& strategie, const QString& table,
                                                     const QString& compteur = QString(), bool stocker = true)
    {
        auto c = io->IOConnexion()->Nouveau<TVlBDEConnexion>();
        c->SetNomConnexion(table);
        c->SetNomStrategie(strategie);
        c->SetNomBd(donnees);
        c->SetNomTable(table);
        c->SetCompteurImpressions(compteur);
        if (stocker)
            c->Stocker();
        return c;
    }

    QStringList Enregistrements(const QStringList& champs)
    {
        QStringList r;
        for (controleur->Premier(); !controleur->Fin(); controleur->Suivant()) {
            QStringList v;
            for (const auto& c : champs)
                v << controleur->Valeur(c, true);
            r << v.join('|');
        }
        return r;
    }

    vltest::RacineTemporaire racine;
    std::unique_ptr<TDMConnexioIO> io;
    std::unique_ptr<TDmIDE> ide;
    FenetresScriptees fenetres;
    std::unique_ptr<TControleurConnexion> controleur;
    QString donnees;
};

inline const QString kPv = QStringLiteral("Ascii délimité points virgules");
inline const QString kPvG = QStringLiteral("Ascii délimité points virgules guillemets");
inline const QString kTab = QStringLiteral("Ascii délimité tabulations");

} // namespace vltest::connexions
