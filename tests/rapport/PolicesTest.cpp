// Every character the program writes is in the font it is written with: the
// window's, the reports' and the charts' fonts, as Qt resolves them, draw
// each character of the program's texts with a glyph of one of the families
// the font names, never with a box nor with whatever other font the machine
// happens to hold. The texts are every string literal of the program's
// sources (the results' labels and units, the exponents' digits, the
// reports', charts' and class synthesis's texts): a new text with a
// character the fonts lack fails here.
#include "chart/ChartCanvas.h"
#include "rapport/DessinCompteRendu.h"
#include "widgets/Apparence.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The code points above ASCII of the string literals in `code` (comments and
// character literals skipped; raw strings read to their delimiter).
void PointsDesLitteraux(const std::string& code, std::set<char32_t>& points)
{
    std::string litteral;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '/' && i + 1 < code.size() && code[i + 1] == '/') {
            i = code.find('\n', i);
            if (i == std::string::npos)
                break;
        } else if (c == '/' && i + 1 < code.size() && code[i + 1] == '*') {
            i = code.find("*/", i + 2);
            if (i == std::string::npos)
                break;
            ++i;
        } else if (c == '\'') {
            for (++i; i < code.size() && code[i] != '\''; ++i)
                i += code[i] == '\\' ? 1 : 0;
        } else if (c == '"' && i > 0 && code[i - 1] == 'R') {
            const std::size_t parenthese = code.find('(', i);
            const std::string fin = ")" + code.substr(i + 1, parenthese - i - 1) + "\"";
            const std::size_t j = code.find(fin, parenthese);
            litteral += code.substr(parenthese + 1, j - parenthese - 1);
            i = j + fin.size() - 1;
        } else if (c == '"') {
            for (++i; i < code.size() && code[i] != '"'; ++i) {
                if (code[i] == '\\')
                    ++i;
                else
                    litteral += code[i];
            }
        }
    }
    for (const char32_t point : QString::fromStdString(litteral).toUcs4())
        if (point > 0x7E)
            points.insert(point);
}

// The program's folders, without the tools and the firmware.
std::set<char32_t> PointsDuProgramme()
{
    namespace fs = std::filesystem;
    std::set<char32_t> points;
    for (const char* dossier : {"about", "acquisition", "analyse", "app", "card", "chart", "classe", "commande", "essai",
                                "journal", "kinetics", "numtext", "rapport", "runtime", "widgets", "workers"}) {
        for (const auto& entree : fs::recursive_directory_iterator(fs::path(NELVAR_SOURCE_DIR) / dossier)) {
            const fs::path& chemin = entree.path();
            if (chemin.extension() != ".cpp" && chemin.extension() != ".h")
                continue;
            if (chemin.parent_path().filename() == "tools")
                continue;
            std::ifstream fichier(chemin, std::ios::binary);
            PointsDesLitteraux(std::string(std::istreambuf_iterator<char>(fichier), {}), points);
        }
    }
    return points;
}

// Empty when `point` is drawn from one of the families `police` names, else
// why not.
std::string Manque(const QFont& police, char32_t point)
{
    QTextLayout mise(QString::fromUcs4(&point, 1), police);
    mise.beginLayout();
    mise.createLine();
    mise.endLayout();
    const QStringList familles = police.families();
    std::string pourquoi;
    for (const QGlyphRun& passe : mise.glyphRuns()) {
        const QString famille = passe.rawFont().familyName();
        if (passe.glyphIndexes().contains(0))
            pourquoi += " pas de glyphe dans " + famille.toStdString();
        else if (!familles.contains(famille, Qt::CaseInsensitive))
            pourquoi += " pris à " + famille.toStdString() + ", hors de " + familles.join(", ").toStdString();
    }
    return pourquoi;
}

} // namespace

TEST(Polices, every_character_of_the_program_s_texts_is_drawn_from_the_fonts_its_text_names)
{
    const std::set<char32_t> points = PointsDuProgramme();
    // The scan finds the texts: the units' superscripts and the dot between
    // a number and its power of ten are among them.
    for (const char32_t attendu : {U'⁻', U'⁴', U'·', U'é', U'°'})
        ASSERT_TRUE(points.contains(attendu)) << std::hex << static_cast<unsigned>(attendu);

    ChartCanvas canevas;
    canevas.SetFont("Arial", 10, 0);
    const QFont graphique = canevas.CurrentFont();
    canevas.SetFont("Arial", 10, 0, fsBold);
    const QFont graphiqueGras = canevas.CurrentFont();
    QFont fenetreGras = PoliceFenetre();
    fenetreGras.setBold(true);
    const std::vector<std::pair<const char*, QFont>> polices = {
        {"fenêtre", PoliceFenetre()},
        {"fenêtre, gras", fenetreGras},
        {"compte rendu", CompteRendu::Police(10)},
        {"compte rendu, gras", CompteRendu::Police(12, true)},
        {"graphique", graphique},
        {"graphique, gras", graphiqueGras},
    };
    for (const auto& [nom, police] : polices) {
        // The faces the layouts were measured with stay the first choice.
        EXPECT_EQ(QFontInfo(police).family(), QStringLiteral("Liberation Sans")) << nom;
        for (const char32_t point : points) {
            const std::string manque = Manque(police, point);
            EXPECT_TRUE(manque.empty()) << nom << " : U+" << std::hex << static_cast<unsigned>(point) << " \""
                                        << QString::fromUcs4(&point, 1).toStdString() << "\"" << manque;
        }
    }
}
