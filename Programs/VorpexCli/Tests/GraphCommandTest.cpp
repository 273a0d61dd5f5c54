#include "Dom/JsonObject.h"
#include "Misc/FileHelper.h"
#include "PngReader.h"
#include "PngWriter.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "VorpexCliTestFolder.h"

namespace
{
	/** A mask stack (left half red) and an albedo stack tinting a white skin inside that mask, with one picker. */
	const char* const SkinJson = R"({"components": [{"meshes": ["Body"], "processorStacks": [
  {"name": "Mask", "materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Mask_M.png"]}]},
  {"name": "Albedo", "materialKey": "_BaseColorMap", "processors": [
    {"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
    {"type": "Colorize", "intParams": [0]}]}],
  "handlers": [{"type": "PixelPickerElement", "displayName": "Skin tone", "stack": 1, "process": 1,
    "textureParams": ["/Game/Textures/T_Palette"], "floatParams": [1, -1]}]}]})";

	const char* const ConfigJson = R"({"segmentations": [{"name": "Body", "targetSkinCompositionMeshes": ["Body"]}]})";

	/** B, G, R, A texels of a Width × Height image from Texel(X, Y) as (R, G, B, A). */
	TArray<uint8> Texels(int32 Width, int32 Height, std::function<FColor(int32, int32)> Texel)
	{
		TArray<uint8> Bytes;
		for (int32 Y = 0; Y < Height; ++Y)
		{
			for (int32 X = 0; X < Width; ++X)
			{
				const FColor Color = Texel(X, Y);
				Bytes.Append({Color.B, Color.G, Color.R, Color.A});
			}
		}
		return Bytes;
	}

	TSharedPtr<FJsonObject> ParseObject(const std::string& Text)
	{
		TSharedPtr<FJsonObject> Object;
		EXPECT_TRUE(FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(FString(Text)), Object)) << Text;
		return Object;
	}
}

class GraphCommandTest : public VorpexCliTestFolder
{
protected:
	void SetUp() override
	{
		VorpexCliTestFolder::SetUp();
		ASSERT_TRUE(FPngWriter::WriteBGRA(Texels(4, 4, [](int32, int32) { return FColor::White; }), 4, 4, FString(PathOf("Content/Textures/T_Skin.png"))));
		ASSERT_TRUE(FPngWriter::WriteBGRA(Texels(4, 4, [](int32 X, int32) { return X < 2 ? FColor(255, 0, 0, 255) : FColor(0, 0, 0, 255); }), 4, 4,
			FString(PathOf("Content/Textures/T_Mask_M.png"))));
		// The start position (1, -1) picks the last column of the first row: blue.
		ASSERT_TRUE(FPngWriter::WriteBGRA(Texels(2, 2, [](int32 X, int32 Y) { return X == 1 && Y == 0 ? FColor(0, 0, 255, 255) : FColor(0, 255, 0, 255); }),
			2, 2, FString(PathOf("Content/Textures/T_Palette.png"))));
		WriteText("Content/Data/Skin.json", SkinJson);
		WriteText("Content/Data/Config.json", ConfigJson);
	}
};

TEST_F(GraphCommandTest, PrintsNodesInterfacesResultsBindingsAndPickers)
{
	const FVorpexRun Run = this->Run({"graph", PathOf("Content/Data/Skin.json"), "--config", PathOf("Content/Data/Config.json")});
	ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
	const TSharedPtr<FJsonObject> Root = ParseObject(Run.Out);
	ASSERT_TRUE(Root.IsValid());

	const auto Stacks = Root->GetArrayField(TEXT("components"))[0]->AsObject()->GetArrayField(TEXT("stacks"));
	ASSERT_EQ(Stacks.Num(), 2);
	const auto Nodes = Stacks[1]->AsObject()->GetArrayField(TEXT("nodes"));
	ASSERT_EQ(Nodes.Num(), 4);
	auto Node = [&Nodes](int32 Index) { return Nodes[Index]->AsObject(); };
	EXPECT_EQ(Node(0)->GetStringField(TEXT("class")), TEXT("HCImageTexture"));
	EXPECT_EQ(Node(0)->GetStringField(TEXT("texture")), TEXT("/Game/Textures/T_Skin.T_Skin"));
	EXPECT_EQ(Node(1)->GetStringField(TEXT("class")), TEXT("HCColorize"));
	EXPECT_EQ(Node(1)->GetObjectField(TEXT("inputs"))->GetStringField(TEXT("0")), TEXT("0/1/0"));
	EXPECT_EQ(Node(2)->GetStringField(TEXT("class")), TEXT("HCSwizzle"));
	EXPECT_EQ(Node(2)->GetObjectField(TEXT("inputs"))->GetStringField(TEXT("0")), TEXT("0/0/0")) << "the mask is stack 0's result";
	EXPECT_EQ(Node(2)->GetArrayField(TEXT("arrangement"))[3]->AsString(), TEXT("SC_One"));
	EXPECT_EQ(Node(3)->GetStringField(TEXT("operation")), TEXT("BTO_Lerp"));
	EXPECT_EQ(Node(3)->GetObjectField(TEXT("inputs"))->GetStringField(TEXT("2")), TEXT("0/1/2"));

	const auto Interface = Stacks[1]->AsObject()->GetArrayField(TEXT("interface"));
	ASSERT_EQ(Interface.Num(), 2);
	EXPECT_TRUE(Interface[0]->IsNull());
	EXPECT_EQ(Interface[1]->AsString(), TEXT("0/1/1"));
	EXPECT_EQ(Root->GetArrayField(TEXT("resultNodes"))[0]->AsString(), TEXT("0/1/3"));
	const auto Binding = Root->GetArrayField(TEXT("bindings"))[0]->AsObject();
	EXPECT_EQ(Binding->GetStringField(TEXT("mesh")), TEXT("Body"));
	EXPECT_EQ(Binding->GetStringField(TEXT("materialKey")), TEXT("MK_Albedo"));
	EXPECT_EQ(Binding->GetStringField(TEXT("node")), TEXT("0/1/3"));
	const auto Picker = Root->GetArrayField(TEXT("pickers"))[0]->AsObject();
	EXPECT_EQ(Picker->GetStringField(TEXT("texture")), TEXT("/Game/Textures/T_Palette.T_Palette"));
	EXPECT_EQ(Picker->GetNumberField(TEXT("width")), 2);
	EXPECT_EQ(Picker->GetArrayField(TEXT("bindings"))[0]->AsObject()->GetStringField(TEXT("node")), TEXT("0/1/1"));
}

TEST_F(GraphCommandTest, RunWritesEveryStackResultWithThePickersStartColours)
{
	const FVorpexRun Run = this->Run({"graph", "/Game/Data/Skin", "--config", "/Game/Data/Config", "--content", PathOf("Content"), "--run", PathOf("Out")});
	ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
	EXPECT_TRUE(std::filesystem::exists(PathOf("Out/0_0_Mask.png")));
	TArray<uint8> Png;
	ASSERT_TRUE(FFileHelper::LoadFileToArray(Png, *FString(PathOf("Out/0_1_Albedo.png"))));
	int32 Width = 0;
	int32 Height = 0;
	TArray<uint8> Result;
	FString Error;
	ASSERT_TRUE(FPngReader::DecodeBGRA(Png, Width, Height, Result, Error));
	ASSERT_EQ(Width, 4096);
	// Inside the mask (left half) the skin is tinted blue; outside it stays white.
	EXPECT_EQ((std::vector<uint8>{Result[0], Result[1], Result[2], Result[3]}), (std::vector<uint8>{255, 0, 0, 255}));
	const int32 Right = (4096 - 1) * 4;
	EXPECT_EQ((std::vector<uint8>{Result[Right], Result[Right + 1], Result[Right + 2], Result[Right + 3]}), (std::vector<uint8>{255, 255, 255, 255}));
}

TEST_F(GraphCommandTest, FilesThatDoNotLoadOrBuildAreReported)
{
	const FVorpexRun Missing = Run({"graph", "/Game/Data/Nothing", "--content", PathOf("Content")});
	EXPECT_EQ(Missing.ExitCode, 1);
	EXPECT_NE(Missing.Err.find("vorpex: cannot load skin composition /Game/Data/Nothing"), std::string::npos) << Missing.Err;

	WriteText("Elsewhere/Skin.json", SkinJson);
	const FVorpexRun Outside = Run({"graph", PathOf("Elsewhere/Skin.json"), "--content", PathOf("Content")});
	EXPECT_EQ(Outside.ExitCode, 1);
	EXPECT_NE(Outside.Err.find("is not inside the mounted content folder"), std::string::npos) << Outside.Err;

	WriteText("Content/Data/Bad.json", R"({"components": [{"meshes": ["Body"], "processorStacks": [
  {"name": "Albedo", "materialKey": "_BaseColorMap", "processors": [{"type": "Sharpen"}]}]}]})");
	const FVorpexRun Bad = Run({"graph", PathOf("Content/Data/Bad.json")});
	EXPECT_EQ(Bad.ExitCode, 2);
	EXPECT_NE(Bad.Err.find("the graphs of"), std::string::npos) << Bad.Err;
	EXPECT_NE(Bad.Err.find("LogTemp: Error:"), std::string::npos) << Bad.Err;
}
