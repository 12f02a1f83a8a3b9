#include "analyse/AnalyseEssai.h"

#include "kinetics/ConditionsMesure.h"
#include "kinetics/Constantes.h"
#include "analyse/LigneResultats.h"
#include "essai/Essai.h"
#include "analyse/TexteResultat.h"
#include "journal/LectureEssai.h"
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kChiffresTableau = 6;
constexpr int kChiffresSansIncertitude = 4;

// Writes `valeur` with `decimales` digits after `separateur`, whatever the
// C library's locale.
std::string Fixe(double valeur, int decimales, char separateur)
{
    char tampon[64];
    std::snprintf(tampon, sizeof tampon, "%.*f", std::max(0, decimales), valeur == 0 ? 0.0 : valeur);
    std::string texte(tampon);
    for (char& c : texte)
        if (c == '.' || c == ',')
            c = separateur;
    return texte;
}

// "·10⁻³" for n = -3; empty for 0.
std::string Puissance(int n)
{
    if (n == 0)
        return {};
    static const char* const kExposants[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string texte = "·10";
    if (n < 0)
        texte += "⁻";
    const std::string chiffres = std::to_string(std::abs(n));
    for (char c : chiffres)
        texte += kExposants[c - '0'];
    return texte;
}


std::string Nombre(double valeur, int chiffres, char separateur)
{
    return FormatGeneral(valeur, chiffres, separateur);
}

} // namespace

int ExposantAffiche(double valeur)
{
    const double a = std::fabs(valeur);
    if (!(a > 0) || !std::isfinite(a) || (a >= 0.01 && a < 1e4))
        return 0;
    return static_cast<int>(std::floor(std::log10(a)));
}

std::string PuissanceDeDix(int exposant)
{
    return exposant == 0 ? std::string() : Puissance(exposant).substr(std::string("·").size());
}

std::string Decimales(double valeur, int decimales, char separateur)
{
    return Fixe(valeur, decimales, separateur);
}

std::string AvecPuissance(double valeur, int chiffres, const std::string& unite, char separateur)
{
    const int n = ExposantAffiche(valeur);
    const std::string nombre = FormatGeneral(valeur / std::pow(10.0, n), chiffres, separateur);
    return nombre + Puissance(n) + (unite.empty() ? "" : " " + unite);
}

std::string ArrondiIncertitude(double valeur, double incertitude, const std::string& unite, char separateur)
{
    const std::string suffixe = unite.empty() ? "" : " " + unite;
    if (!std::isfinite(valeur))
        return "—";
    if (!(incertitude > 0) || !std::isfinite(incertitude))
        return AvecPuissance(valeur, kChiffresSansIncertitude, unite, separateur);

    const int n = ExposantAffiche(valeur);
    const double echelle = std::pow(10.0, n);
    const double v = valeur / echelle;
    const double u = incertitude / echelle;
    int e = static_cast<int>(std::floor(std::log10(u)));
    // The first digit once rounded to two digits (0,0996 is 0,10: two digits).
    double premier = std::round(u / std::pow(10.0, e - 1)) / 10.0;
    if (premier >= 10) {
        ++e;
        premier /= 10;
    }
    const int chiffres = premier < 3 ? 2 : 1;
    const int place = e - (chiffres - 1); // power of ten of the last digit kept
    const double pas = std::pow(10.0, place);
    const double uArrondie = std::round(u / pas) * pas;
    const double vArrondie = std::round(v / pas) * pas;
    const int decimales = std::max(0, -place);
    const std::string texte = Fixe(vArrondie, decimales, separateur) + " ± " + Fixe(uArrondie, decimales, separateur);
    if (n == 0)
        return texte + suffixe;
    return "(" + texte + ")" + Puissance(n) + suffixe;
}

void AnalyseEssai::SetDonnees(DonneesEssai donnees)
{
    const bool meme = donnees.nom == donnees_.nom;
    if (meme && donnees_.fichier) {
        donnees.volume = donnees_.volume;
        donnees.temperature = donnees_.temperature;
    }
    if (!meme) {
        debut_.reset();
        fin_.reset();
        tangente_.reset();
        exclus_.clear();
        basculements_.clear();
    }
    donnees_ = std::move(donnees);
    CalculerMolParPascal();
    vitesses_.reset();
    test_.reset();
}

void AnalyseEssai::SetConditions(std::optional<double> volume, std::optional<double> temperature)
{
    donnees_.volume = volume;
    donnees_.temperature = temperature;
    CalculerMolParPascal();
    vitesses_.reset();
    test_.reset();
}

void AnalyseEssai::SetIntervalle(std::optional<double> debut, std::optional<double> fin)
{
    debut_ = debut;
    fin_ = fin;
    vitesses_.reset();
    test_.reset();
}

void AnalyseEssai::BasculerExclusion(int i)
{
    if (i < 0 || i >= Points())
        return;
    const double t = donnees_.points[static_cast<std::size_t>(i)].t;
    const auto deja = std::find(exclus_.begin(), exclus_.end(), t);
    if (deja != exclus_.end())
        exclus_.erase(deja);
    else
        exclus_.push_back(t);
    basculements_.push_back(t);
    vitesses_.reset();
    test_.reset();
}

bool AnalyseEssai::AnnulerExclusion()
{
    if (basculements_.empty())
        return false;
    const double t = basculements_.back();
    basculements_.pop_back();
    const auto deja = std::find(exclus_.begin(), exclus_.end(), t);
    if (deja != exclus_.end())
        exclus_.erase(deja);
    else
        exclus_.push_back(t);
    vitesses_.reset();
    test_.reset();
    return true;
}

bool AnalyseEssai::Exclu(int i) const
{
    if (i < 0 || i >= Points())
        return false;
    return std::find(exclus_.begin(), exclus_.end(), donnees_.points[static_cast<std::size_t>(i)].t) != exclus_.end();
}

Cinetique::Options AnalyseEssai::Options() const
{
    Cinetique::Options options;
    options.debut = debut_;
    options.fin = fin_;
    options.volume = donnees_.volume;
    options.temperature = donnees_.temperature;
    options.exclus = exclus_;
    options.lecture = donnees_.lecture;
    return options;
}

void AnalyseEssai::Recalculer()
{
    resultat_.reset();
    vitesses_.reset();
    test_.reset();
    erreur_.clear();
    try {
        if (donnees_.points.empty())
            throw EAnalyseImpossible("Aucune mesure à analyser : lancez une mesure ou ouvrez un essai enregistré.");
        resultat_ = Cinetique::Analyser(donnees_.points, Options());
    } catch (const Exception& e) {
        erreur_ = e.Message();
    }
}

const std::vector<Cinetique::PointVitesse>& AnalyseEssai::Vitesses() const
{
    if (!vitesses_) {
        vitesses_.emplace();
        try {
            if (resultat_ && MolParPascal())
                *vitesses_ = Cinetique::VitesseVolumique(donnees_.points, Options(), *resultat_);
        } catch (const Exception&) {
            // No rate: the chart stays empty.
        }
    }
    return *vitesses_;
}

const std::optional<Cinetique::TestOrdreUn>& AnalyseEssai::Test() const
{
    if (!test_) {
        test_.emplace();
        try {
            if (resultat_)
                *test_ = Cinetique::TestLineaire(donnees_.points, Options(), *resultat_);
        } catch (const Exception&) {
            // No test: the chart stays empty.
        }
    }
    return *test_;
}

void AnalyseEssai::CalculerMolParPascal()
{
    molParPascal_.reset();
    if (!donnees_.volume || !donnees_.temperature)
        return;
    try {
        const double volume = ConditionsMesure::VolumeEnM3(*donnees_.volume);
        const double temperature = ConditionsMesure::TemperatureEnK(*donnees_.temperature);
        molParPascal_ = volume / (Constantes::kConstanteGazEssai * temperature);
    } catch (const Exception&) {
        // Conditions out of range: no extent from the pressures.
    }
}

std::optional<double> AnalyseEssai::Avancement(int i) const
{
    if (i < 0 || i >= Points())
        return std::nullopt;
    if (static_cast<std::size_t>(i) < donnees_.avancements.size())
        return donnees_.avancements[static_cast<std::size_t>(i)];
    const auto facteur = MolParPascal();
    if (!facteur)
        return std::nullopt;
    return (donnees_.points[static_cast<std::size_t>(i)].p - donnees_.points.front().p) * *facteur;
}

std::optional<double> AnalyseEssai::AvancementModele(double t) const
{
    const auto facteur = MolParPascal();
    if (!facteur || !resultat_)
        return std::nullopt;
    return (resultat_->modele.Pression(t) - resultat_->p0) * *facteur;
}

std::optional<double> AnalyseEssai::PenteModele(double t) const
{
    const auto facteur = MolParPascal();
    if (!facteur || !resultat_)
        return std::nullopt;
    const auto& m = resultat_->modele;
    return m.k * (m.pInf - m.Pression(t)) * *facteur;
}

std::optional<double> AnalyseEssai::VitesseModele(double t) const
{
    const auto pente = PenteModele(t);
    if (!pente)
        return std::nullopt;
    return *pente / *donnees_.volume;
}

int AnalyseEssai::PointLePlusProche(double t) const
{
    const auto& p = donnees_.points;
    if (p.empty())
        return -1;
    const auto suivant = std::lower_bound(p.begin(), p.end(), t,
                                          [](const Cinetique::Point& a, double b) { return a.t < b; });
    if (suivant == p.begin())
        return 0;
    if (suivant == p.end())
        return Points() - 1;
    const auto precedent = suivant - 1;
    return static_cast<int>((t - precedent->t <= suivant->t - t ? precedent : suivant) - p.begin());
}

std::string AnalyseEssai::TexteTest(char separateur) const
{
    const auto& test = Test();
    if (!test || test->points.empty())
        return {};
    return "pente = " + AvecPuissance(test->pente, 3, "s⁻¹", separateur) + " (= k) ; ordonnée à l'origine = 0 ; R² = " +
           Nombre(test->r2, 5, separateur);
}

std::optional<std::pair<std::string, std::string>> AnalyseEssai::LigneTangente(char separateur) const
{
    if (!tangente_)
        return std::nullopt;
    const double t = *tangente_;
    const auto pente = PenteModele(t);
    const auto v = VitesseModele(t);
    if (!pente || !v)
        return std::nullopt;
    return std::pair<std::string, std::string>(
        "Tangente", "à t = " + Fixe(t, kDecimalesTemps, separateur) + " s : dx/dt = " + AvecPuissance(*pente, 3, "mol/s", separateur) +
                        " ; v = " + AvecPuissance(*v, 3, "mol·L⁻¹·s⁻¹", separateur));
}

std::vector<MarqueAnalyse> AnalyseEssai::Marques(char separateur) const
{
    std::vector<MarqueAnalyse> marques;
    // No line for a value the data cannot give.
    if (!resultat_ || !resultat_->determine)
        return marques;
    const Cinetique::Resultat& r = *resultat_;
    const auto& m = r.modele;
    if (const auto facteur = MolParPascal()) {
        // mmol from the run's first point, as the chart's points.
        const double xa = (m.pa - r.p0) * *facteur * Constantes::kMmolParMol,
                     xf = (m.pInf - r.p0) * *facteur * Constantes::kMmolParMol;
        marques.push_back({true, xf, "x_f = " + Nombre(xf, 3, separateur) + " mmol"});
        // x_a counts when it shows at the precision x_f is written with (three
        // significant digits).
        const double chiffre = xf != 0 ? std::pow(10.0, std::floor(std::log10(std::abs(xf))) - 2) : 0;
        const bool depuisZero = std::abs(xa) < chiffre / 2;
        marques.push_back({true, (xa + xf) / 2, depuisZero ? "x_f/2" : "(x_a + x_f)/2"});
    } else {
        marques.push_back({true, m.pInf, "p∞ = " + Fixe(m.pInf, 0, separateur) + " Pa"});
        marques.push_back({true, (m.pa + m.pInf) / 2, "(p_a + p∞)/2"});
    }
    // The times on the axis, labelled with what they are: from t_a unless t_a
    // is 0 at the tenth of a second they are written to.
    const bool taNul = std::abs(m.ta) < 0.05;
    const double tau = 1 / m.k;
    marques.push_back({false, m.ta + r.tDemi, (taNul ? "t½ = " : "t_a + t½ = ") + Fixe(m.ta + r.tDemi, 1, separateur) + " s"});
    if (std::isfinite(tau))
        marques.push_back({false, m.ta + tau, (taNul ? "τ = " : "t_a + τ = ") + Fixe(m.ta + tau, 1, separateur) + " s"});
    return marques;
}

std::vector<std::pair<std::string, std::string>> AnalyseEssai::LignesResultats(char separateur) const
{
    std::vector<std::pair<std::string, std::string>> lignes;
    if (!resultat_)
        return lignes;
    const Cinetique::Resultat& r = *resultat_;
    lignes.emplace_back("Modèle", "x(t) = x_f − (x_f − x_a)·e^(−k·(t − t_a)), t_a = " + Nombre(r.modele.ta, 6, separateur) + " s");
    // What the data cannot give is said so, not written as a number.
    const std::string nonDetermine = "non déterminé";
    if (!r.determine)
        lignes.emplace_back("x_f", MolParPascal() ? nonDetermine : "volume et température inconnus");
    else if (r.xFinal && r.uXFinal)
        lignes.emplace_back("x_f", ArrondiIncertitude(*r.xFinal* Constantes::kMmolParMol, *r.uXFinal* Constantes::kMmolParMol, "mmol", separateur));
    else
        lignes.emplace_back("x_f", "volume et température inconnus");
    lignes.emplace_back("k", r.determine ? ArrondiIncertitude(r.k, r.uK, "s⁻¹", separateur) : nonDetermine);
    lignes.emplace_back("t½ (modèle)", r.determine ? ArrondiIncertitude(r.tDemi, r.uTDemi, "s", separateur) : nonDetermine);
    lignes.emplace_back("t½ (graphique)", !r.determine        ? nonDetermine
                                          : r.tDemiGraphique ? Nombre(*r.tDemiGraphique, 3, separateur) + " s"
                                                             : "non atteint");
    const auto v = VitesseModele(r.modele.ta);
    lignes.emplace_back("v au début", !v            ? std::string("volume et température inconnus")
                                      : r.determine ? AvecPuissance(*v, 3, "mol·L⁻¹·s⁻¹", separateur)
                                                    : nonDetermine);
    lignes.emplace_back("R²", Nombre(r.r2, 6, separateur));
    lignes.emplace_back("Écart-type des résidus", Nombre(r.ecartTypeResidus, 3, separateur) + " Pa");
    lignes.emplace_back("Points", std::to_string(r.points));
    lignes.emplace_back("Intervalle", "de " + Nombre(r.debut, 6, separateur) + " à " + Nombre(r.fin, 6, separateur) + " s");
    const std::string remarques = Cinetique::TexteRemarques(r, separateur);
    lignes.emplace_back("Remarque", remarques.empty() ? "aucune" : remarques);
    return lignes;
}

std::string AnalyseEssai::TexteResultats(char separateur) const
{
    if (!resultat_)
        return {};
    std::string entete(Cinetique::kEnteteResultats), ligne = Cinetique::LigneResultats(donnees_.nom, *resultat_, separateur);
    const auto pente = tangente_ ? PenteModele(*tangente_) : std::nullopt;
    const auto v = tangente_ ? VitesseModele(*tangente_) : std::nullopt;
    if (pente && v) {
        // The row ends with its line end: the tangent's fields go before it.
        entete += "\ttangente t (s)\ttangente dx/dt (mol/s)\ttangente v (mol/L/s)";
        const bool fin = !ligne.empty() && ligne.back() == '\n';
        if (fin)
            ligne.pop_back();
        ligne += "\t" + Nombre(*tangente_, kChiffresTableau, separateur) + "\t" + Nombre(*pente, kChiffresTableau, separateur) + "\t" +
                 Nombre(*v, kChiffresTableau, separateur) + (fin ? "\n" : "");
    }
    return entete + "\n" + ligne;
}

std::string AnalyseEssai::TexteTableau(char separateur) const
{
    std::string texte = "t (s)\tp (Pa)\tx (mol)\tx modèle (mol)\tv dérivée des mesures (mol·L⁻¹·s⁻¹)\n";
    const std::vector<Cinetique::PointVitesse>& vitesses = Vitesses();
    std::size_t prochaineVitesse = 0;
    for (int i = 0; i < Points(); ++i) {
        const Cinetique::Point& point = donnees_.points[static_cast<std::size_t>(i)];
        texte += Nombre(point.t, kChiffresTableau, separateur) + "\t" + Nombre(point.p, kChiffresTableau, separateur) + "\t";
        if (const auto x = Avancement(i))
            texte += Nombre(*x, kChiffresTableau, separateur);
        texte += "\t";
        if (const auto x = AvancementModele(point.t))
            texte += Nombre(*x, kChiffresTableau, separateur);
        texte += "\t";
        while (prochaineVitesse < vitesses.size() && vitesses[prochaineVitesse].t < point.t)
            ++prochaineVitesse;
        if (prochaineVitesse < vitesses.size() && vitesses[prochaineVitesse].t == point.t)
            texte += Nombre(vitesses[prochaineVitesse].donnees, kChiffresTableau, separateur);
        texte += "\n";
    }
    return texte;
}

int AnalyseEssai::LecturesEnRetard() const
{
    const auto& ticks = donnees_.tempsTicks;
    int retard = 0;
    for (std::size_t i = 0; i < ticks.size() && i < donnees_.points.size(); ++i)
        if (std::abs(donnees_.points[i].t - ticks[i]) > kRetardLecture)
            ++retard;
    return retard;
}

DonneesEssai DonneesDeLEssai(const Essai& essai, std::string nom)
{
    DonneesEssai donnees;
    donnees.nom = std::move(nom);
    const std::vector<LectureEssai>& lectures = essai.Lectures();
    donnees.points.reserve(lectures.size());
    donnees.avancements.reserve(lectures.size());
    donnees.tempsTicks.reserve(lectures.size());
    for (const LectureEssai& lecture : lectures) {
        donnees.points.push_back({lecture.tempsReel, static_cast<double>(lecture.pression)});
        donnees.avancements.push_back(lecture.avancement ? std::optional(static_cast<double>(*lecture.avancement))
                                                         : std::nullopt);
        donnees.tempsTicks.push_back(lecture.tempsTick);
    }
    const ConditionsEssai& conditions = essai.Conditions();
    donnees.volume = conditions.volume;
    donnees.temperature = conditions.temperature;
    donnees.coefficient = conditions.coefficient;
    donnees.debut = conditions.debut;
    donnees.source = conditions.source;
    donnees.poste = conditions.poste;
    return donnees;
}

DonneesEssai DonneesEssaiEnregistre(const std::string& chemin, std::optional<double> volume,
                                                std::optional<double> temperature)
{
    Cinetique::Enregistrement essai = Cinetique::LireFichierEnregistrement(chemin);
    DonneesEssai donnees;
    donnees.points = std::move(essai.points);
    donnees.nom = chemin;
    donnees.fichier = true;
    ConditionsEssai& conditions = essai.conditions;
    donnees.volume = conditions.volume ? conditions.volume : volume;
    donnees.temperature = conditions.temperature ? conditions.temperature : temperature;
    donnees.tempsTicks = std::move(essai.tempsTicks);
    donnees.debut = conditions.debut;
    donnees.source = std::move(conditions.source);
    donnees.poste = std::move(conditions.poste);
    donnees.coefficient = conditions.coefficient;
    donnees.lecture = std::move(essai.lecture);
    return donnees;
}
