// The class table's model on a synthesis made by hand: its cells against the
// command line's text, the factor's column (the only one editable) written
// through the table handed on, and a new reading that keeps the rows in place.
#include "classe/fenetre/ModeleClasse.h"
#include "journal/LectureEssai.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

Classe::EssaiClasse Essai(const std::string& poste, double temperature, double k)
{
    Classe::EssaiClasse e;
    e.nom = "essai_" + poste + ".txt";
    e.chemin = "/partage/tp/" + e.nom;
    e.conditions.poste = poste;
    e.conditions.temperature = temperature;
    e.resultat.k = k;
    e.resultat.tDemi = 0.6931 / k;
    e.resultat.points = 300;
    return e;
}

// The fields of the text's line `n`, split at each TAB.
QStringList Champs(const std::string& texte, int n)
{
    return QString::fromStdString(texte).split(QLatin1Char('\n'))[n].split(QLatin1Char('\t'));
}

} // namespace

TEST(ModeleClasse, shows_the_command_line_cells_and_writes_the_factor_typed_in_its_only_editable_column)
{
    const Classe::Facteur facteur{"concentration initiale", "mol/L"};
    std::vector<Classe::TableClasse> ecrites;
    ModeleClasse modele([&](const Classe::TableClasse& t) { ecrites.push_back(t); }, ',');
    ASSERT_TRUE(modele.Montrer(Classe::Conclure({Essai("PC01", 15, 0.002), Essai("PC02", 25, 0.004)}, {}, facteur),
                               {facteur, {}}));

    // Every cell and header as the command line writes it; the file by its name, its path in the tip.
    const std::string texte = Classe::TexteSynthese(modele.Synthese(), ',');
    ASSERT_EQ(modele.rowCount(), 2);
    ASSERT_EQ(modele.columnCount(), Champs(texte, 0).size());
    int editable = -1;
    for (int c = 0; c < modele.columnCount(); ++c) {
        EXPECT_EQ(modele.headerData(c, Qt::Horizontal).toString(), Champs(texte, 0)[c]);
        for (int n = 0; n < 2; ++n)
            EXPECT_EQ(modele.index(n, c).data(c == 0 ? Qt::ToolTipRole : Qt::DisplayRole), Champs(texte, n + 1)[c]);
        if (modele.flags(modele.index(0, c)) & Qt::ItemIsEditable) {
            EXPECT_EQ(editable, -1) << "a second editable column: " << c;
            editable = c;
        }
    }
    EXPECT_EQ(modele.index(1, 0).data(), QStringLiteral("essai_PC02.txt"));
    ASSERT_NE(editable, -1);
    EXPECT_EQ(modele.headerData(editable, Qt::Horizontal), QStringLiteral("concentration initiale (mol/L)"));

    // A value typed: the cell changed, said, and the table handed on to be written.
    QSignalSpy change(&modele, &QAbstractItemModel::dataChanged), refus(&modele, &ModeleClasse::ValeurRefusee);
    const QModelIndex cellule = modele.index(1, editable);
    ASSERT_TRUE(modele.setData(cellule, QStringLiteral(" 0,25 ")));
    ASSERT_EQ(change.size(), 1);
    EXPECT_EQ(change[0][0].toModelIndex(), cellule);
    EXPECT_EQ(Cinetique::LireNombreVirguleOuPoint(cellule.data().toString().toStdString()), 0.25);
    ASSERT_EQ(ecrites.size(), 1u);
    const Classe::TableClasse& ecrite = ecrites.front();
    EXPECT_EQ(std::tuple(ecrite.facteur.nom, ecrite.Valeur("essai_PC02.txt"), ecrite.Valeur("essai_PC01.txt")),
              std::tuple(facteur.nom, std::optional(0.25), std::optional<double>()));
    // Not a number, or a column that is not the factor's: refused, nothing written.
    EXPECT_FALSE(modele.setData(modele.index(0, editable), QStringLiteral("beaucoup")));
    EXPECT_FALSE(modele.setData(modele.index(0, editable + 1), QStringLiteral("3")));
    EXPECT_EQ(std::pair(refus.size(), ecrites.size()), std::pair(qsizetype(1), std::size_t(1)));

    // A reading with a third run: inserted after the others, which keep their place.
    const QPersistentModelIndex place = modele.index(1, 7);
    QSignalSpy remise(&modele, &QAbstractItemModel::modelReset), ajout(&modele, &QAbstractItemModel::rowsInserted);
    const auto lecture = Classe::Conclure(
        {Essai("PC01", 15, 0.002), Essai("PC02", 25, 0.004), Essai("PC03", 35, 0.008)}, {}, facteur);
    EXPECT_TRUE(modele.Montrer(lecture, {facteur, {}}));
    EXPECT_EQ(std::tuple(modele.rowCount(), remise.size(), ajout.size(), place.row()), std::tuple(3, 0, 1, 1));
    EXPECT_EQ(modele.index(2, 1).data(), QStringLiteral("PC03"));
    EXPECT_FALSE(modele.Montrer(lecture, {facteur, {}})); // nothing new
}
