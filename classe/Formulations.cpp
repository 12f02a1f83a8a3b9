#include "classe/Formulations.h"

#include "analyse/AnalyseEssai.h"

#include <array>
#include <cmath>
#include <string_view>

namespace Classe {

namespace {

// Masculine nouns a class may study whose ending would say otherwise.
constexpr std::array<std::string_view, 10> kMasculins = {
    "volume", "catalyseur", "nombre", "ph", "diamètre", "débit", "type", "rapport", "solvant", "réactif"};

bool CommencePar(std::string_view texte, std::string_view debut)
{
    return texte.substr(0, debut.size()) == debut;
}

bool Voyelle(std::string_view mot)
{
    for (const std::string_view v : {"a", "e", "i", "o", "u", "y", "h", "é", "è", "ê", "à", "â", "î", "ô", "û", "É"})
        if (CommencePar(mot, v))
            return true;
    return false;
}

std::string Minuscules(std::string_view mot)
{
    std::string m(mot);
    for (char& c : m)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return m;
}

} // namespace

std::string AvecArticle(const std::string& nom)
{
    const std::string minuscules = Minuscules(nom);
    for (const std::string_view article : {"le ", "la ", "les ", "l'", "l’"})
        if (CommencePar(minuscules, article))
            return nom;
    const std::string mot = minuscules.substr(0, minuscules.find(' '));
    if (Voyelle(mot))
        return "l'" + nom;
    for (const std::string_view m : kMasculins)
        if (mot == m)
            return "le " + nom;
    const bool feminin = mot.ends_with("e") || mot.ends_with("ion") || mot.ends_with("té") || mot.ends_with("eur");
    return (feminin ? "la " : "le ") + nom;
}

std::string AvecDe(const std::string& nom)
{
    const std::string avecArticle = AvecArticle(nom);
    const std::string minuscules = Minuscules(avecArticle);
    if (CommencePar(minuscules, "le "))
        return "du " + avecArticle.substr(3);
    if (CommencePar(minuscules, "les "))
        return "des " + avecArticle.substr(4);
    return "de " + avecArticle;
}

std::string TexteArrondi(const Conclusion& c, char separateur)
{
    if (!c.phrase.empty() || !c.valeur)
        return PhraseConclusion(c, separateur);
    double valeur = *c.valeur, incertitude = c.incertitude.value_or(0);
    std::string unite = c.unite;
    if (unite == "J/mol" && std::fabs(valeur) >= 1000) {
        valeur /= 1000;
        incertitude /= 1000;
        unite = "kJ/mol";
    }
    return ArrondiIncertitude(valeur, incertitude, unite, separateur);
}

} // namespace Classe
