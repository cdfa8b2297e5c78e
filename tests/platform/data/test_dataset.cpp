#include "data/Dataset.h"
#include <gtest/gtest.h>

using namespace vl::data;

TEST(DataTypes, FamillesDeTypes)
{
    EXPECT_TRUE(EstTypeBlob(TypeChamp::Memo));
    EXPECT_TRUE(EstTypeBlob(TypeChamp::OleDBase));
    EXPECT_FALSE(EstTypeBlob(TypeChamp::Chaine));
    EXPECT_TRUE(EstTypeImage(TypeChamp::Graphique));
    EXPECT_FALSE(EstTypeImage(TypeChamp::Memo));
    EXPECT_TRUE(EstTypeCompteur(TypeChamp::Flottant));
    EXPECT_FALSE(EstTypeCompteur(TypeChamp::Monnaie));
}
