// Writes starting inputs for fuzz-paradox with pxlib itself, so that the
// fuzzer starts from real tables: one with every common field type, NULLs
// and memos short (in the record) and long (in the .mb), and a small one.
// Each input is two big-endian bytes giving the .db size, the .db, the .mb.
//   graines-paradox DOSSIER
extern "C" {
#include <paradox.h>
}

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Champ
{
    const char* nom;
    char type;
    int longueur;
};

std::string Lire(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

bool Ecrire(const std::string& dossier, const char* nom, const std::vector<Champ>& champs, int lignes)
{
    const std::string db = dossier + "/" + nom + ".db", mb = dossier + "/" + nom + ".mb";
    pxdoc_t* px = PX_new();
    auto* defs = static_cast<pxfield_t*>(px->malloc(px, sizeof(pxfield_t) * champs.size(), "graines"));
    std::memset(defs, 0, sizeof(pxfield_t) * champs.size());
    int taille = 0;
    bool avecBlob = false;
    for (size_t i = 0; i < champs.size(); ++i) {
        defs[i].px_fname = static_cast<char*>(px->malloc(px, std::strlen(champs[i].nom) + 1, "graines"));
        std::strcpy(defs[i].px_fname, champs[i].nom);
        defs[i].px_ftype = champs[i].type;
        defs[i].px_flen = champs[i].longueur;
        taille += champs[i].longueur;
        avecBlob |= champs[i].type == pxfMemoBLOb || champs[i].type == pxfGraphic || champs[i].type == pxfBLOb;
    }
    if (PX_create_file(px, defs, int(champs.size()), db.c_str(), pxfFileTypNonIndexDB) != 0)
        return false;
    PX_set_value(px, "codepage", 850);
    pxblob_t* blob = nullptr;
    if (avecBlob) {
        blob = PX_new_blob(px);
        if (PX_create_blob_file(blob, mb.c_str()) != 0)
            return false;
        px->px_blob = blob;
    }
    const std::string longue = "Long m\x82mo : " + std::string(300, 'z');
    for (int l = 0; l < lignes; ++l) {
        std::vector<char> rec(size_t(taille), '\0');
        char* d = rec.data();
        const bool nulle = l == 1;  // the second record is all NULL
        for (const auto& c : champs) {
            if (!nulle) {
                switch (c.type) {
                case pxfAlpha: PX_put_data_alpha(px, d, c.longueur, const_cast<char*>(l ? "Z\x82ro" : "Andr\x82")); break;
                case pxfShort: PX_put_data_short(px, d, c.longueur, short(l ? -2 : 3)); break;
                case pxfLong: case pxfAutoInc: PX_put_data_long(px, d, c.longueur, l + 1); break;
                case pxfDate: PX_put_data_long(px, d, c.longueur, 739000 + l); break;
                case pxfTime: PX_put_data_long(px, d, c.longueur, 3600000 * (l + 1)); break;
                case pxfNumber: case pxfCurrency: PX_put_data_double(px, d, c.longueur, l ? -0.25 : 12.5); break;
                case pxfTimestamp: PX_put_data_double(px, d, c.longueur, 63800000000000.0 + l); break;
                case pxfLogical: PX_put_data_byte(px, d, c.longueur, char(l % 2)); break;
                case pxfMemoBLOb: case pxfGraphic: case pxfBLOb: {
                    const std::string& m = l ? longue : std::string("court");
                    PX_put_data_blob(px, d, c.longueur, const_cast<char*>(m.data()), int(m.size()));
                    break;
                }
                default: break;
                }
            }
            d += c.longueur;
        }
        PX_put_record(px, rec.data());
    }
    if (blob) {
        PX_close_blob(blob);
        px->px_blob = nullptr;
        PX_delete_blob(blob);
    }
    PX_close(px);
    PX_delete(px);
    const std::string table = Lire(db), memo = avecBlob ? Lire(mb) : std::string();
    std::remove(db.c_str());
    std::remove(mb.c_str());
    if (table.empty() || table.size() > 0xFFFF)
        return false;
    std::ofstream f(dossier + "/" + nom, std::ios::binary);
    f.put(char(table.size() >> 8)).put(char(table.size() & 0xFF)) << table << memo;
    return bool(f);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "graines-paradox DOSSIER\n");
        return 2;
    }
    PX_boot();
    const std::string dossier = argv[1];
    const bool ok = Ecrire(dossier, "types",
                           {{"Nom", pxfAlpha, 20}, {"Quantite", pxfShort, 2}, {"Total", pxfLong, 4},
                            {"Prix", pxfNumber, 8}, {"Solde", pxfCurrency, 8}, {"Jour", pxfDate, 4},
                            {"Heure", pxfTime, 4}, {"Quand", pxfTimestamp, 8}, {"Actif", pxfLogical, 1},
                            {"Numero", pxfAutoInc, 4}, {"Notes", pxfMemoBLOb, 21}, {"Photo", pxfGraphic, 10}},
                           3)
                    && Ecrire(dossier, "petite", {{"Nom", pxfAlpha, 10}, {"Actif", pxfLogical, 1}}, 2);
    PX_shutdown();
    return ok ? 0 : 1;
}
