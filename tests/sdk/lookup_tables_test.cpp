#include "lookup_tables.h"

#include <gtest/gtest.h>

// Expected values worked out by hand from the table formulas.
using zul::LookupTables;

TEST(LookupTables, GammaOneIsTheIdentityWithClampMargins)
{
    LookupTables t;
    zul::buildLookupTables(t, 1.0f);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(t.GT[v], v);
    EXPECT_EQ(t.CG[0], 0);
    EXPECT_EQ(t.CG[279], 0);
    EXPECT_EQ(t.CG[280], 0);
    EXPECT_EQ(t.CG[281], 1);
    EXPECT_EQ(t.CG[400], 120);
    EXPECT_EQ(t.CG[535], 255);
    EXPECT_EQ(t.CG[536], 255);
    EXPECT_EQ(t.CG[815], 255);
}

TEST(LookupTables, ColourTermsTruncateTowardZero)
{
    LookupTables t;
    zul::buildLookupTables(t, 1.0f);
    // 1.164 * Y - 18.624, cut toward zero, plus the 280 margin.
    EXPECT_EQ(t.TY[0], 280 - 18);
    EXPECT_EQ(t.TY[15], 280 - 1);
    EXPECT_EQ(t.TY[16], 280);
    EXPECT_EQ(t.TY[235], 280 + 254);
    EXPECT_EQ(t.TY[255], 280 + 278);
    EXPECT_EQ(t.TRv[0], -204);
    EXPECT_EQ(t.TRv[128], 0);
    EXPECT_EQ(t.TRv[255], 202);
    EXPECT_EQ(t.TGv[0], 104);
    EXPECT_EQ(t.TGv[255], -103);
    EXPECT_EQ(t.TBu[0], -258);
    EXPECT_EQ(t.TBu[255], 256);
    EXPECT_EQ(t.TGu[0], 50);
    EXPECT_EQ(t.TGu[129], 0);
    EXPECT_EQ(t.TGu[255], -49);
    // A white pixel (Y 235, no chroma) lands on 254 in every channel.
    EXPECT_EQ(t.CG[t.TY[235] + t.TRv[128]], 254);
    EXPECT_EQ(t.CG[t.TY[235] + t.TGu[128] + t.TGv[128]], 254);
}

TEST(LookupTables, PackedPixelTablesFollowTheClampedValue)
{
    LookupTables t;
    zul::buildLookupTables(t, 1.0f);
    const int white = 280 + 255, grey = 280 + 200, below = 10, above = 800;
    EXPECT_EQ(t.R555[white] + t.G555[white] + t.B555[white], 0x7FFF);
    EXPECT_EQ(t.R565[white] + t.G565[white] + t.B565[white], 0xFFFF);
    EXPECT_EQ(t.R555[grey], 25 << 10);
    EXPECT_EQ(t.G555[grey], 25 << 5);
    EXPECT_EQ(t.B555[grey], 25);
    EXPECT_EQ(t.R565[grey], 25 << 11);
    EXPECT_EQ(t.G565[grey], 50 << 5);
    EXPECT_EQ(t.B565[grey], 25);
    EXPECT_EQ(t.R332[grey], 6 << 5);
    EXPECT_EQ(t.G332[grey], 6 << 2);
    EXPECT_EQ(t.B332[grey], 3);
    EXPECT_EQ(t.R332[above] + t.G332[above] + t.B332[above], 0xFF);
    EXPECT_EQ(t.R565[below] + t.G565[below] + t.B565[below], 0);
}

TEST(LookupTables, GreyTableExpandsStudioRange)
{
    LookupTables t;
    zul::buildLookupTables(t, 1.0f);
    EXPECT_EQ(t.G8[0], 0);
    EXPECT_EQ(t.G8[15], 0);
    EXPECT_EQ(t.G8[16], 0);
    EXPECT_EQ(t.G8[17], 1);
    EXPECT_EQ(t.G8[100], 96);
    EXPECT_EQ(t.G8[128], 128);
    EXPECT_EQ(t.G8[239], 255);
    EXPECT_EQ(t.G8[240], 255);
    EXPECT_EQ(t.G8[255], 255);
}

TEST(LookupTables, GammaCurvesRoundToTheNearestValue)
{
    LookupTables t;
    zul::buildLookupTables(t, 0.5f);
    // 255 * (v / 255)^2 + 0.5
    EXPECT_EQ(t.GT[0], 0);
    EXPECT_EQ(t.GT[1], 0);
    EXPECT_EQ(t.GT[128], 64);
    EXPECT_EQ(t.GT[200], 157);
    EXPECT_EQ(t.GT[255], 255);
    EXPECT_EQ(t.CG[280 + 200], 157);
    EXPECT_EQ(t.CG[279], 0);
    EXPECT_EQ(t.CG[536], 255);
    EXPECT_EQ(t.R555[280 + 200], 19 << 10);
    EXPECT_EQ(t.G8[128], 64);
    EXPECT_EQ(t.G8[100], 36); // GT[96] = 255 * (96/255)^2 + 0.5 = 36.6

    zul::buildLookupTables(t, 2.0f);
    // 255 * sqrt(v / 255) + 0.5
    EXPECT_EQ(t.GT[1], 16);
    EXPECT_EQ(t.GT[64], 128);
    EXPECT_EQ(t.GT[255], 255);
    EXPECT_EQ(t.gamma, 2.0f);
}
