// The application title from the program file's name.
#include "app/TitreApplication.h"

#include <gtest/gtest.h>

TEST(TitreApplication, keeps_the_name_up_to_its_first_full_stop_with_the_first_character_as_is)
{
    EXPECT_EQ(TitreApplication("C/prog/MESURE.V2.EXE"), "Mesure");
    EXPECT_EQ(TitreApplication("/tmp/mESURE.EXE"), "mesure");
    EXPECT_EQ(TitreApplication("/usr/local/bin/nelvar"), "nelvar");
    EXPECT_EQ(TitreApplication("/opt/v1.2/Nelvar"), "Nelvar");
    EXPECT_EQ(TitreApplication("NELVAR"), "Nelvar");
}

TEST(TitreApplication, lower_cases_accented_capitals_of_the_code_page)
{
    EXPECT_EQ(TitreApplication("/x/ÉCOLE.exe"), "École");
    EXPECT_EQ(TitreApplication("/x/aÀÉÎÕÜŒŠŸ×"), "aàéîõüœšÿ×");
}

TEST(TitreFenetre, names_the_source_in_brackets_after_the_caption_when_it_has_a_label)
{
    EXPECT_EQ(TitreFenetre(""), "Avancement d'une réaction chimique.");
    EXPECT_EQ(TitreFenetre("carte simulée"), "Avancement d'une réaction chimique. (carte simulée)");
    EXPECT_EQ(TitreFenetre("boîtier USB, capteur MPX5700AP"),
              "Avancement d'une réaction chimique. (boîtier USB, capteur MPX5700AP)");
}

TEST(TitreApplication, a_name_that_starts_with_a_full_stop_gives_an_empty_title)
{
    EXPECT_EQ(TitreApplication("/x/.nelvar"), "");
    EXPECT_EQ(TitreApplication("/x/"), "");
}
