#include "analyse/EssaisCompares.h"
#include "runtime/HeureLocale.h"
#include "kinetics/Constantes.h"

#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"

#include <algorithm>
#include <cassert>
#include <ctime>
#include <filesystem>

namespace {

constexpr int kChiffresPression = 6;
const std::string kInconnu = "—";

// A volume to the centilitre at least: "0,30", "0,125".
std::string Volume(double litres, char separateur)
{
    const std::string general = FormatGeneral(litres, 3, separateur);
    const std::size_t virgule = general.find(separateur);
    const std::size_t decimales = virgule == std::string::npos ? 0 : general.size() - virgule - 1;
    return decimales >= 2 || general.find('E') != std::string::npos ? general : Decimales(litres, 2, separateur);
}


} // namespace

const EssaisCompares::Element& EssaisCompares::Essai(int i) const
{
    assert(i >= 0 && i < Nombre());
    return elements_[static_cast<std::size_t>(i)];
}

EssaisCompares::Element& EssaisCompares::Essai(int i)
{
    assert(i >= 0 && i < Nombre());
    return elements_[static_cast<std::size_t>(i)];
}

bool EssaisCompares::MemeEssai(const EntreeEssai& a, const EntreeEssai& b)
{
    if (a.chemin && b.chemin && *a.chemin == *b.chemin)
        return true;
    if (a.debut && b.debut) {
        const auto ecart = *a.debut > *b.debut ? *a.debut - *b.debut : *b.debut - *a.debut;
        return ecart < kMemeDebut;
    }
    return false;
}

void EssaisCompares::Inserer(Element element)
{
    element.couleur = prochaineCouleur_++;
    // After the last entry of the same or an earlier provenance.
    const auto place = std::find_if(elements_.begin(), elements_.end(), [&](const Element& e) {
        return e.entree.provenance > element.entree.provenance;
    });
    elements_.insert(place, std::move(element));
    ++version_;
}

void EssaisCompares::GarderEssai(std::shared_ptr<const ::Essai> essai, std::string nom)
{
    for (const Element& e : elements_)
        if (e.essai == essai)
            return;
    Element element;
    element.entree.nom = std::move(nom);
    element.entree.debut = essai->Conditions().debut;
    element.entree.provenance = Provenance::Seance;
    element.donnees = DonneesDeLEssai(*essai, element.entree.nom);
    element.lectures = essai->Nombre();
    element.essai = std::move(essai);
    element.charge = true;
    // The same run read from another source is listed once, as the session's.
    std::erase_if(elements_, [&](const Element& e) {
        return e.entree.provenance == Provenance::Archive && MemeEssai(e.entree, element.entree);
    });
    Inserer(std::move(element));
    const auto seance = std::count_if(elements_.begin(), elements_.end(),
                                      [](const Element& e) { return e.entree.provenance == Provenance::Seance; });
    if (seance > kEssaisGardes)
        elements_.erase(elements_.begin()); // the session's runs come first, oldest first
}

bool EssaisCompares::Ajouter(EntreeEssai entree, std::optional<DonneesEssai> donnees)
{
    for (Element& e : elements_)
        if (MemeEssai(e.entree, entree)) {
            if (donnees && e.entree.provenance == Provenance::Fichier) {
                e.donnees = std::move(donnees);
                e.analyse.reset();
                e.erreur.clear();
                ++version_;
            }
            return false;
        }
    Element element;
    element.entree = std::move(entree);
    element.charge = donnees.has_value();
    element.donnees = std::move(donnees);
    Inserer(std::move(element));
    return true;
}

void EssaisCompares::SetConditions(const std::string& nom, std::optional<double> volume,
                                   std::optional<double> temperature)
{
    const int i = Indice(nom);
    if (i < 0)
        return;
    Element& e = Charger(i);
    if (!e.donnees || (e.donnees->volume == volume && e.donnees->temperature == temperature))
        return;
    e.donnees->volume = volume;
    e.donnees->temperature = temperature;
    e.analyse.reset();
    ++version_;
}

std::string EssaisCompares::Nom(int i) const
{
    const EntreeEssai& e = Entree(i);
    if (e.debut)
        return HeureLocale(*e.debut, "%d/%m %H:%M");
    return e.chemin ? std::filesystem::path(*e.chemin).filename().string() : e.nom;
}

std::string EssaisCompares::Poste(int i) const
{
    const Element& e = Essai(i);
    return e.donnees && !e.donnees->poste.empty() ? e.donnees->poste : e.entree.poste;
}

std::string EssaisCompares::Libelle(int i, char separateur) const
{
    std::string libelle = Nom(i);
    if (const std::string poste = Poste(i); !poste.empty())
        libelle += ", " + poste;
    if (const auto& d = Essai(i).donnees) {
        if (d->volume)
            libelle += ", V = " + Volume(*d->volume, separateur) + " L";
        if (d->temperature)
            libelle += ", θ = " + FormatGeneral(*d->temperature, 3, separateur) + " °C";
    }
    return libelle;
}

int EssaisCompares::Indice(const std::string& nom) const
{
    for (int i = 0; i < Nombre(); ++i)
        if (Entree(i).nom == nom)
            return i;
    return -1;
}

void EssaisCompares::Cocher(int i, bool coche)
{
    if (Essai(i).coche == coche)
        return;
    Essai(i).coche = coche;
    ++version_;
}

std::vector<int> EssaisCompares::Coches() const
{
    std::vector<int> coches;
    for (int i = 0; i < Nombre(); ++i)
        if (Coche(i))
            coches.push_back(i);
    return coches;
}

EssaisCompares::Element& EssaisCompares::Charger(int i)
{
    Element& e = Essai(i);
    if (e.essai && (!e.donnees || e.lectures != e.essai->Nombre())) {
        e.donnees = DonneesDeLEssai(*e.essai, e.entree.nom);
        e.lectures = e.essai->Nombre();
        e.analyse.reset();
    }
    if (!e.charge) {
        e.charge = true;
        try {
            if (e.entree.charger)
                e.donnees = e.entree.charger();
        } catch (const Exception& erreur) {
            e.erreur = erreur.Message();
        }
    }
    return e;
}

unsigned EssaisCompares::Version() const
{
    // A run only grows: its count moves the version with each new reading.
    unsigned version = version_;
    for (const Element& e : elements_)
        if (e.essai)
            version += static_cast<unsigned>(e.essai->Nombre());
    return version;
}

const AnalyseEssai* EssaisCompares::Analyse(int i)
{
    Element& e = Charger(i);
    if (!e.donnees)
        return nullptr;
    if (!e.analyse) {
        e.analyse.emplace();
        e.analyse->SetDonnees(*e.donnees);
        e.analyse->Recalculer();
    }
    return &*e.analyse;
}

std::string EssaisCompares::Erreur(int i)
{
    const AnalyseEssai* analyse = Analyse(i);
    if (!analyse)
        return Essai(i).erreur;
    return analyse->Erreur();
}

std::vector<std::pair<double, double>> EssaisCompares::Courbe(int i)
{
    std::vector<std::pair<double, double>> courbe;
    const AnalyseEssai* analyse = Analyse(i);
    if (!analyse)
        return courbe;
    for (int n = 0; n < analyse->Points(); ++n)
        if (const auto x = analyse->Avancement(n))
            courbe.emplace_back(analyse->Donnees().points[static_cast<std::size_t>(n)].t, *x * Constantes::kMmolParMol);
    return courbe;
}

LigneComparaison EssaisCompares::Ligne(int i, char separateur)
{
    LigneComparaison ligne{Nom(i), kInconnu, kInconnu, kInconnu, kInconnu, kInconnu, kInconnu, kInconnu, kInconnu};
    const AnalyseEssai* analyse = Analyse(i);
    if (const std::string poste = Poste(i); !poste.empty())
        ligne.poste = poste;
    if (!analyse)
        return ligne;
    if (const auto& v = analyse->Donnees().volume)
        ligne.volume = Volume(*v, separateur);
    if (const auto& t = analyse->Donnees().temperature)
        ligne.temperature = FormatGeneral(*t, 3, separateur);
    ligne.points = std::to_string(analyse->Points());
    if (analyse->Points() > 0)
        ligne.pInitiale = FormatGeneral(analyse->Donnees().points.front().p, kChiffresPression, separateur);
    if (!analyse->Valide())
        return ligne;
    const Cinetique::Resultat& r = analyse->Resultat();
    if (!r.determine) {
        ligne.xFinal = ligne.k = ligne.tDemi = "non déterminé";
        return ligne;
    }
    if (r.xFinal && r.uXFinal)
        ligne.xFinal = ArrondiIncertitude(*r.xFinal * Constantes::kMmolParMol, *r.uXFinal * Constantes::kMmolParMol, "", separateur);
    ligne.k = ArrondiIncertitude(r.k, r.uK, "", separateur);
    ligne.tDemi = ArrondiIncertitude(r.tDemi, r.uTDemi, "", separateur);
    return ligne;
}

std::string EssaisCompares::TexteTableau(char separateur)
{
    std::string texte;
    for (const char* entete : kEntetes)
        texte += std::string(texte.empty() ? "" : "\t") + entete;
    texte += "\n";
    for (const int i : Coches()) {
        const LigneComparaison l = Ligne(i, separateur);
        texte += l.essai + "\t" + l.poste + "\t" + l.volume + "\t" + l.temperature + "\t" + l.points + "\t" + l.xFinal + "\t" + l.k +
                 "\t" + l.tDemi + "\t" + l.pInitiale + "\n";
    }
    return texte;
}
