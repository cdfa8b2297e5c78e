#include "report/CompressionPdf.h"
#include "report/ErreurRapport.h"

#include <QCoreApplication>
#include <QMap>
#include <QVector>
#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>
#include <zlib.h>

namespace vl {

QByteArray Deflate(const QByteArray& donnees, int niveau)
{
    uLongf taille = compressBound(uLong(donnees.size()));
    QByteArray sortie(qsizetype(taille), Qt::Uninitialized);
    const int rc = compress2(reinterpret_cast<Bytef*>(sortie.data()), &taille,
                             reinterpret_cast<const Bytef*>(donnees.constData()), uLong(donnees.size()), niveau);
    if (rc != Z_OK)
        throw ErreurRapport(QCoreApplication::translate("CompressionPdf", "Erreur de compression du fichier PDF"));
    sortie.resize(qsizetype(taille));
    return sortie;
}

bool Inflate(const QByteArray& donnees, QByteArray& resultat)
{
    resultat.clear();
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(donnees.constData()));
    z.avail_in = uInt(donnees.size());
    char tampon[65536];
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        z.next_out = reinterpret_cast<Bytef*>(tampon);
        z.avail_out = sizeof tampon;
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) {
            inflateEnd(&z);
            return false;
        }
        resultat.append(tampon, qsizetype(sizeof tampon - z.avail_out));
        if (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0) {
            inflateEnd(&z);   // truncated stream
            return false;
        }
    }
    inflateEnd(&z);
    return true;
}

namespace {

[[noreturn]] void Illisible()
{
    throw ErreurRapport(QCoreApplication::translate("CompressionPdf", "Le fichier PDF produit est illisible"));
}

bool EstBlanc(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool EstDelimiteur(char c)
{
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}'
        || c == '/' || c == '%';
}

// A tiny reader of PDF objects over a byte array.
class Lecteur
{
public:
    explicit Lecteur(const QByteArray& d) : m_d(d) {}

    qsizetype SauterBlancs(qsizetype i) const
    {
        while (i < m_d.size()) {
            if (EstBlanc(m_d[i]))
                ++i;
            else if (m_d[i] == '%') {
                while (i < m_d.size() && m_d[i] != '\n' && m_d[i] != '\r')
                    ++i;
            } else
                break;
        }
        return i;
    }

    // End of the regular token starting at i.
    qsizetype FinMot(qsizetype i) const
    {
        while (i < m_d.size() && !EstBlanc(m_d[i]) && !EstDelimiteur(m_d[i]))
            ++i;
        return i;
    }

    QByteArray Mot(qsizetype i) const { return m_d.mid(i, FinMot(i) - i); }

    // End of the value starting at i (after skipping blanks).
    qsizetype FinValeur(qsizetype i) const
    {
        i = SauterBlancs(i);
        if (i >= m_d.size())
            Illisible();
        const char c = m_d[i];
        if (c == '<' && i + 1 < m_d.size() && m_d[i + 1] == '<') {
            i += 2;
            for (;;) {
                i = SauterBlancs(i);
                if (i + 1 < m_d.size() && m_d[i] == '>' && m_d[i + 1] == '>')
                    return i + 2;
                i = FinValeur(i);
            }
        }
        if (c == '[') {
            ++i;
            for (;;) {
                i = SauterBlancs(i);
                if (i < m_d.size() && m_d[i] == ']')
                    return i + 1;
                i = FinValeur(i);
            }
        }
        if (c == '(') {
            int profondeur = 0;
            for (; i < m_d.size(); ++i) {
                if (m_d[i] == '\\')
                    ++i;
                else if (m_d[i] == '(')
                    ++profondeur;
                else if (m_d[i] == ')' && --profondeur == 0)
                    return i + 1;
            }
            Illisible();
        }
        if (c == '<') {
            const qsizetype f = m_d.indexOf('>', i);
            if (f < 0)
                Illisible();
            return f + 1;
        }
        if (c == '/')
            return FinMot(i + 1);
        if (c == ')' || c == '>' || c == ']' || c == '{' || c == '}')
            Illisible();
        // Number, possibly the start of an indirect reference "n g R".
        const qsizetype f = FinMot(i);
        if (f == i)
            Illisible();
        bool nombre = false;
        m_d.mid(i, f - i).toLongLong(&nombre);
        if (nombre) {
            const qsizetype j = SauterBlancs(f);
            const qsizetype fj = FinMot(j);
            bool gen = false;
            if (fj > j)
                m_d.mid(j, fj - j).toLongLong(&gen);
            if (gen) {
                const qsizetype k = SauterBlancs(fj);
                if (k < m_d.size() && m_d[k] == 'R' && FinMot(k) == k + 1)
                    return k + 1;
            }
        }
        return f;
    }

    struct Entree
    {
        QByteArray cle;
        qsizetype debutValeur, finValeur;
    };

    // Top-level entries of the dictionary starting at i ("<<").
    QVector<Entree> Entrees(qsizetype i, qsizetype* fin) const
    {
        QVector<Entree> r;
        i = SauterBlancs(i) + 2;
        for (;;) {
            i = SauterBlancs(i);
            if (i + 1 < m_d.size() && m_d[i] == '>' && m_d[i + 1] == '>') {
                *fin = i + 2;
                return r;
            }
            if (i >= m_d.size() || m_d[i] != '/')
                Illisible();
            const qsizetype fc = FinMot(i + 1);
            Entree e;
            e.cle = m_d.mid(i, fc - i);
            e.debutValeur = SauterBlancs(fc);
            e.finValeur = FinValeur(e.debutValeur);
            r.push_back(e);
            i = e.finValeur;
        }
    }

    QByteArray Texte(qsizetype a, qsizetype b) const { return m_d.mid(a, b - a); }

private:
    const QByteArray& m_d;
};

struct EntreeXref
{
    qint64 offset = 0;
    int generation = 0;
    bool utilise = false;
};

QByteArray Simplifie(const QByteArray& v)
{
    return v.simplified();
}

// A stream to rewrite: its data in clear, and the dictionary around its length.
struct TFlux
{
    int numero = 0;
    int generation = 0;
    int objetLongueur = -1;   // the indirect length object, -1 for a direct length
    bool ajouterFiltre = false;
    QByteArray donnees;
    QByteArray avantLongueur, apresLongueur;
    QByteArray comprimees;
};

constexpr size_t kTailleLot = 64;

void DeflerEnParallele(std::vector<TFlux>& lot)
{
    std::atomic<size_t> suivant{0};
    std::exception_ptr erreur;
    std::mutex verrou;
    auto travailler = [&] {
        for (size_t k = suivant++; k < lot.size(); k = suivant++) {
            try {
                lot[k].comprimees = Deflate(lot[k].donnees, Z_BEST_COMPRESSION);
                lot[k].donnees = QByteArray();
            } catch (...) {
                const std::lock_guard<std::mutex> garde(verrou);
                erreur = std::current_exception();
            }
        }
    };
    const size_t n = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), lot.size());
    std::vector<std::thread> fils;
    for (size_t i = 1; i < n; ++i)
        fils.emplace_back(travailler);
    travailler();
    for (auto& f : fils)
        f.join();
    if (erreur)
        std::rethrow_exception(erreur);
}

} // namespace

QByteArray CompressionPdf::Recompresser(const QByteArray& pdf)
{
    Lecteur lecteur(pdf);

    // --- Cross-reference table and trailer
    const qsizetype posStart = pdf.lastIndexOf("startxref");
    if (posStart < 0)
        Illisible();
    bool ok = false;
    const qsizetype posXrefNum = lecteur.SauterBlancs(posStart + 9);
    const qint64 posXref = lecteur.Mot(posXrefNum).toLongLong(&ok);
    if (!ok || posXref <= 0 || posXref >= pdf.size() || lecteur.Mot(posXref) != "xref")
        Illisible();

    QMap<int, EntreeXref> xref;
    qsizetype i = posXref + 4;
    for (;;) {
        i = lecteur.SauterBlancs(i);
        if (lecteur.Mot(i) == "trailer")
            break;
        bool ok1 = false, ok2 = false;
        const int premier = lecteur.Mot(i).toInt(&ok1);
        i = lecteur.SauterBlancs(lecteur.FinMot(i));
        const int nombre = lecteur.Mot(i).toInt(&ok2);
        i = lecteur.FinMot(i);
        if (!ok1 || !ok2 || nombre < 0)
            Illisible();
        for (int k = 0; k < nombre; ++k) {
            EntreeXref e;
            i = lecteur.SauterBlancs(i);
            e.offset = lecteur.Mot(i).toLongLong(&ok1);
            i = lecteur.SauterBlancs(lecteur.FinMot(i));
            e.generation = lecteur.Mot(i).toInt(&ok2);
            i = lecteur.SauterBlancs(lecteur.FinMot(i));
            const QByteArray type = lecteur.Mot(i);
            i = lecteur.FinMot(i);
            if (!ok1 || !ok2 || (type != "n" && type != "f"))
                Illisible();
            e.utilise = type == "n";
            xref[premier + k] = e;
        }
    }
    const qsizetype posTrailer = i;
    const QByteArray trailer = pdf.mid(posTrailer, posStart - posTrailer);
    qsizetype finTrailer = 0;
    for (const auto& e : lecteur.Entrees(lecteur.SauterBlancs(posTrailer + 7), &finTrailer))
        if (e.cle == "/Prev")
            Illisible();   // incremental updates are not ours to rewrite

    // --- Objects in file order
    struct Objet
    {
        int numero;
        qint64 offset;
    };
    QVector<Objet> objets;
    for (auto it = xref.cbegin(); it != xref.cend(); ++it)
        if (it->utilise)
            objets.push_back({it.key(), it->offset});
    std::sort(objets.begin(), objets.end(), [](const Objet& a, const Objet& b) { return a.offset < b.offset; });
    if (objets.isEmpty())
        Illisible();

    auto debutValeurObjet = [&](const Objet& o) {
        // "n g obj"
        qsizetype p = lecteur.SauterBlancs(o.offset);
        if (lecteur.Mot(p).toInt() != o.numero)
            Illisible();
        p = lecteur.SauterBlancs(lecteur.FinMot(p));
        p = lecteur.SauterBlancs(lecteur.FinMot(p));
        if (lecteur.Mot(p) != "obj")
            Illisible();
        return lecteur.SauterBlancs(p + 3);
    };
    QMap<int, qsizetype> offsetsParNumero;
    for (const Objet& o : objets)
        offsetsParNumero[o.numero] = o.offset;
    auto entierObjet = [&](int numero) -> qint64 {
        if (!offsetsParNumero.contains(numero))
            Illisible();
        const qsizetype p = debutValeurObjet({numero, offsetsParNumero[numero]});
        bool okv = false;
        const qint64 v = lecteur.Mot(p).toLongLong(&okv);
        if (!okv)
            Illisible();
        return v;
    };

    // --- Rewrite the streams
    QMap<int, qint64> longueursIndirectes;   // length objects and their new values
    QMap<int, QByteArray> objetsReecrits;
    // Streams are deflated in lots, each lot over every processor: the
    // highest level is slow, and a lot bounds the memory the inflated data takes.
    std::vector<TFlux> lot;
    auto ecrireLot = [&] {
        DeflerEnParallele(lot);
        for (TFlux& f : lot) {
            QByteArray dict = f.avantLongueur + QByteArray::number(f.comprimees.size()) + f.apresLongueur;
            if (f.ajouterFiltre)
                dict += "\n/Filter /FlateDecode\n";
            dict += ">>";
            objetsReecrits[f.numero] = QByteArray::number(f.numero) + ' ' + QByteArray::number(f.generation)
                + " obj\n" + dict + "\nstream\n" + f.comprimees + "\nendstream\nendobj\n";
            if (f.objetLongueur >= 0)
                longueursIndirectes[f.objetLongueur] = f.comprimees.size();
        }
        lot.clear();
    };
    for (const Objet& o : objets) {
        const qsizetype v = debutValeurObjet(o);
        if (!(pdf.mid(v, 2) == "<<"))
            continue;
        qsizetype finDict = 0;
        const auto entrees = lecteur.Entrees(v, &finDict);
        const qsizetype s = lecteur.SauterBlancs(finDict);
        if (lecteur.Mot(s) != "stream")
            continue;
        qsizetype debutDonnees = s + 6;
        if (pdf.mid(debutDonnees, 2) == "\r\n")
            debutDonnees += 2;
        else if (debutDonnees < pdf.size() && pdf[debutDonnees] == '\n')
            ++debutDonnees;
        else
            Illisible();

        const Lecteur::Entree* longueur = nullptr;
        QByteArray filtre;
        bool metadonnees = false, parametres = false;
        for (const auto& e : entrees) {
            const QByteArray valeur = Simplifie(lecteur.Texte(e.debutValeur, e.finValeur));
            if (e.cle == "/Length")
                longueur = &e;
            else if (e.cle == "/Filter")
                filtre = valeur;
            else if (e.cle == "/DecodeParms")
                parametres = true;
            else if (e.cle == "/Type" && valeur == "/Metadata")
                metadonnees = true;
        }
        if (!longueur)
            Illisible();
        const QByteArray valeurLongueur = Simplifie(lecteur.Texte(longueur->debutValeur, longueur->finValeur));
        int objetLongueur = -1;
        qint64 n = 0;
        if (valeurLongueur.endsWith(" R")) {
            objetLongueur = valeurLongueur.split(' ').first().toInt();
            n = entierObjet(objetLongueur);
        } else {
            n = valeurLongueur.toLongLong(&ok);
            if (!ok)
                Illisible();
        }
        if (n < 0 || debutDonnees + n > pdf.size())
            Illisible();
        const QByteArray donnees = pdf.mid(debutDonnees, qsizetype(n));
        const qsizetype apres = lecteur.SauterBlancs(debutDonnees + n);
        if (pdf.mid(apres, 9) != "endstream")
            Illisible();

        TFlux f;
        if (filtre == "/FlateDecode" || filtre == "[/FlateDecode]" || filtre == "[ /FlateDecode ]") {
            if (parametres || !Inflate(donnees, f.donnees))
                continue;   // predictors or damaged data: leave as written
        } else if (filtre.isEmpty() && !metadonnees) {
            f.donnees = donnees;
            f.ajouterFiltre = true;
        } else {
            continue;
        }
        f.numero = o.numero;
        f.generation = xref[o.numero].generation;
        f.objetLongueur = objetLongueur;
        f.avantLongueur = lecteur.Texte(v, longueur->debutValeur);
        f.apresLongueur = lecteur.Texte(longueur->finValeur, finDict - 2);
        lot.push_back(std::move(f));
        if (lot.size() >= kTailleLot)
            ecrireLot();
    }
    ecrireLot();
    for (auto it = longueursIndirectes.cbegin(); it != longueursIndirectes.cend(); ++it)
        objetsReecrits[it.key()] = QByteArray::number(it.key()) + ' ' + QByteArray::number(xref[it.key()].generation)
            + " obj\n" + QByteArray::number(it.value()) + "\nendobj\n";

    // --- Write it out
    QByteArray sortie;
    sortie.reserve(pdf.size());
    sortie += pdf.left(qsizetype(objets.first().offset));
    QMap<int, qint64> nouveauxOffsets;
    for (qsizetype k = 0; k < objets.size(); ++k) {
        const Objet& o = objets[k];
        nouveauxOffsets[o.numero] = sortie.size();
        if (objetsReecrits.contains(o.numero)) {
            sortie += objetsReecrits[o.numero];
        } else {
            const qint64 fin = k + 1 < objets.size() ? objets[k + 1].offset : posXref;
            sortie += pdf.mid(qsizetype(o.offset), qsizetype(fin - o.offset));
        }
    }
    const qint64 nouveauXref = sortie.size();
    const int dernier = xref.lastKey();
    sortie += "xref\n0 " + QByteArray::number(dernier + 1) + "\n";
    for (int num = 0; num <= dernier; ++num) {
        char ligne[32];
        const auto it = xref.constFind(num);
        if (it != xref.cend() && it->utilise)
            std::snprintf(ligne, sizeof ligne, "%010lld %05d n \n", static_cast<long long>(nouveauxOffsets[num]),
                          it->generation);
        else if (it != xref.cend())
            std::snprintf(ligne, sizeof ligne, "%010lld %05d f \n", static_cast<long long>(it->offset),
                          it->generation);
        else
            std::snprintf(ligne, sizeof ligne, "%010d %05d f \n", 0, 65535);
        sortie += ligne;
    }
    sortie += trailer;
    if (!trailer.endsWith('\n'))
        sortie += '\n';
    sortie += "startxref\n" + QByteArray::number(nouveauXref) + "\n%%EOF\n";
    return sortie;
}

} // namespace vl
