#include "Engine/Texture2D.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

TEST(TextureSettingsTest, DefaultsAreTheEngines)
{
	const UTexture2D* Texture = UTexture2D::CreateTransient(1, 1);
	ASSERT_NE(Texture, nullptr);
	EXPECT_TRUE(Texture->SRGB);
	EXPECT_EQ(Texture->Filter, TF_Default);
	EXPECT_EQ(Texture->LODGroup, TEXTUREGROUP_World);
	EXPECT_EQ(Texture->CompressionSettings, TC_Default);
	EXPECT_FALSE(Texture->NeverStream);
	EXPECT_EQ(Texture->MipGenSettings, TMGS_FromTextureGroup);
}

TEST(TextureSettingsTest, PropertiesAreReflectedInOrderWithTheirEnums)
{
	TArray<FString> Listing;
	for (const FProperty* Property : UTexture::StaticClass()->GetProperties())
	{
		Listing.Add(Property->GetName() + " " + Property->GetCPPType() + " " + Property->GetMetaData(FName("Category")));
	}
	EXPECT_EQ(Listing, (TArray<FString>{
		"SRGB bool Texture",
		"Filter TEnumAsByte<TextureFilter> Texture",
		"LODGroup TEnumAsByte<TextureGroup> LevelOfDetail",
		"CompressionSettings TEnumAsByte<TextureCompressionSettings> Compression",
		"NeverStream bool LevelOfDetail",
		"MipGenSettings TEnumAsByte<TextureMipGenSettings> LevelOfDetail",
	}));
	// A UTexture2D sees the same settings, read through reflection at their real offsets.
	UTexture2D* Texture = UTexture2D::CreateTransient(1, 1);
	Texture->CompressionSettings = TC_Masks;
	const FByteProperty* Compression = CastField<FByteProperty>(UTexture2D::StaticClass()->FindPropertyByName(FName("CompressionSettings")));
	ASSERT_NE(Compression, nullptr);
	EXPECT_EQ(Compression->Enum, StaticEnum<TextureCompressionSettings>());
	EXPECT_EQ(*Compression->ContainerPtrToValuePtr<uint8>(Texture), TC_Masks);
	EXPECT_EQ(UTexture::StaticClass()->FindPropertyByName(FName("LODGroup"))->GetMetaData(FName("DisplayName")), "Texture Group");
}

TEST(TextureSettingsTest, EnumsKeepTheEngineNamesOrderAndDisplayNames)
{
	auto Describe = [](const UEnum* Enum)
	{
		TArray<FString> Entries;
		// The last entry is the generated _MAX.
		for (int32 Index = 0; Index + 1 < Enum->NumEnums(); ++Index)
		{
			Entries.Add(FString::Printf(TEXT("%s=%lld (%s)"), *Enum->GetNameStringByIndex(Index), static_cast<long long>(Enum->GetValueByIndex(Index)),
				*Enum->GetDisplayNameTextByIndex(Index).ToString()));
		}
		return Entries;
	};
	EXPECT_EQ(Describe(StaticEnum<TextureFilter>()), (TArray<FString>{"TF_Nearest=0 (Nearest)", "TF_Bilinear=1 (Bi-linear)", "TF_Trilinear=2 (Tri-linear)",
													   "TF_Default=3 (Default (from Texture Group))"}));
	EXPECT_EQ(Describe(StaticEnum<TextureCompressionSettings>()),
		(TArray<FString>{"TC_Default=0 (Default (DXT1/5, BC1/3 on DX11))", "TC_Normalmap=1 (Normalmap (DXT5, BC5 on DX11))", "TC_Masks=2 (Masks (no sRGB))",
			"TC_Grayscale=3 (Grayscale (G8/16, RGB8 sRGB))", "TC_Displacementmap=4 (Displacementmap (G8/16))",
			"TC_VectorDisplacementmap=5 (VectorDisplacementmap (RGBA8))", "TC_HDR=6 (HDR (RGBA16F, no sRGB))", "TC_EditorIcon=7 (UserInterface2D (RGBA))",
			"TC_Alpha=8 (Alpha (no sRGB, BC4 on DX11))"}));
	const UEnum* Group = StaticEnum<TextureGroup>();
	EXPECT_EQ(Group->GetValueByName(FName("TEXTUREGROUP_Character")), TEXTUREGROUP_Character);
	EXPECT_EQ(Group->GetDisplayNameTextByValue(TEXTUREGROUP_Pixels2D).ToString(), "2D Pixels (unfiltered)");
	EXPECT_EQ(Group->GetDisplayNameTextByValue(TEXTUREGROUP_UI).ToString(), "UI");
	const UEnum* MipGen = StaticEnum<TextureMipGenSettings>();
	EXPECT_EQ(MipGen->GetNameStringByValue(TMGS_NoMipmaps), "TMGS_NoMipmaps");
	EXPECT_LT(MipGen->GetValueByName(FName("TMGS_FromTextureGroup")), MipGen->GetValueByName(FName("TMGS_NoMipmaps")));
}
