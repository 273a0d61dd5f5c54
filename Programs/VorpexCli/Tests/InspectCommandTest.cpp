#include "PngWriter.h"
#include "VorpexCliTestFolder.h"

#include <string_view>

namespace
{
	/** Writes a 1 × 1 PNG texture at Path. */
	void WritePng(const std::string& Path)
	{
		ASSERT_TRUE(FPngWriter::WriteBGRA({1, 2, 3, 4}, 1, 1, FString(Path)));
	}

	bool Contains(const std::string& Text, std::string_view Part)
	{
		return Text.find(Part) != std::string::npos;
	}
}

using InspectCommandTest = VorpexCliTestFolder;

TEST_F(InspectCommandTest, CatalogPrintsEveryFieldInDeclaredOrder)
{
	// The texture resolves against the Content folder that holds the catalog.
	WritePng(PathOf("Project/Content/Skin/T_Body.png"));
	const std::string File = WriteText("Project/Content/Data/catalog.json",
		R"({"TEXTURES": [{"path": "Skin/T_Body.png", "texture": "/Game/Skin/T_Body.T_Body", "unknownKey": 1}],
			"meshes": [{"name": "Body", "submeshCount": 2}]})");
	const FVorpexRun Result = Run({"inspect", "catalog", File});
	EXPECT_EQ(Result.ExitCode, 0);
	EXPECT_EQ(Result.Err, "");
	EXPECT_EQ(Result.Out, R"({
  "textures": [
    {
      "path": "Skin/T_Body.png",
      "isLinear": false,
      "texture": "/Game/Skin/T_Body.T_Body"
    }
  ],
  "meshes": [
    {
      "name": "Body",
      "identifier": "",
      "submeshCount": 2
    }
  ],
  "materials": [],
  "templateAssets": [],
  "deformableAssets": [],
  "shapeAssets": [],
  "overlayAssets": [],
  "characterEditors": []
}
)");
}

TEST_F(InspectCommandTest, DescriptorKeepsFloatsAsWritten)
{
	const std::string File = WriteText("descriptor.json",
		R"({"groups": [{"characters": [{"name": "Ada", "blends": [{"templateWeight": 1, "shapeWeights": [{"name": "Tall", "index": 2, "weight": 0.1}],
			"deformableAssetsIndices": [{"name": "Shirt", "deformableAssetIndex": 1}]}]}]}]})");
	const FVorpexRun Result = Run({"inspect", "descriptor", File});
	EXPECT_EQ(Result.ExitCode, 0);
	EXPECT_EQ(Result.Err, "");
	EXPECT_EQ(Result.Out, R"({
  "groups": [
    {
      "characters": [
        {
          "name": "Ada",
          "group": "",
          "blends": [
            {
              "templateAssetIndex": 0,
              "templateWeight": 1,
              "shapeWeights": [
                {
                  "name": "Tall",
                  "index": 2,
                  "weight": 0.1
                }
              ],
              "textureWeights": [],
              "deformableAssetsIndices": [
                {
                  "name": "Shirt",
                  "deformableAssetIndex": 1,
                  "variationIndex": 0
                }
              ]
            }
          ],
          "overlayAssetsIndices": []
        }
      ]
    }
  ]
}
)");
}

TEST_F(InspectCommandTest, EditorConfigPrintsNestedRecords)
{
	const std::string File = WriteText("config.json",
		R"({"version": 3, "rigShapePath": "Rig/Shape", "segmentations": [{"displayName": "Head",
			"shapeConstraints": [{"displayName": "Nose", "uiWeight": {"x": 0.5, "y": -0.25}, "shapes": ["NoseA", "Nose \"B\""]}]}]})");
	const FVorpexRun Result = Run({"inspect", "config", File});
	EXPECT_EQ(Result.ExitCode, 0);
	EXPECT_EQ(Result.Err, "");
	EXPECT_EQ(Result.Out, R"({
  "version": 3,
  "rigShapePath": "Rig/Shape",
  "animationPath": "",
  "meshAlbedos": [],
  "segmentations": [
    {
      "displayName": "Head",
      "name": "",
      "meshMasks": [],
      "transformConstraints": [],
      "shapeConstraints": [
        {
          "displayName": "Nose",
          "uiWeight": {
            "x": 0.5,
            "y": -0.25
          },
          "shapes": [
            "NoseA",
            "Nose \"B\""
          ]
        }
      ],
      "targetSkinCompositionMeshes": []
    }
  ]
}
)");
}

TEST_F(InspectCommandTest, SkinCompositionResolvesTexturesAgainstContentOption)
{
	WritePng(PathOf("Assets/Skin/T_Picker.png"));
	const std::string File = WriteText("Data/skin.json",
		R"({"version": 1, "components": [{"meshes": ["Body"], "processorStacks": [{"name": "Base", "materialKey": "_BaseColorMap",
			"processors": [{"type": "ImageTexture", "stringParams": ["skin.png"], "textureReferences": ["/Game/Skin/T_Soft.T_Soft"]}]}],
			"handlers": [{"type": "PixelPickerElement", "displayName": "Tone", "floatParams": [0, 0.5],
			"textureParams": ["/Game/Skin/T_Picker.T_Picker"]}]}]})");
	const FVorpexRun Result = Run({"inspect", "skin", File, "--content", PathOf("Assets")});
	EXPECT_EQ(Result.ExitCode, 0);
	EXPECT_EQ(Result.Err, "");
	// A soft reference is kept as its path and never loaded, so T_Soft need not exist.
	EXPECT_EQ(Result.Out, R"({
  "version": 1,
  "components": [
    {
      "meshes": [
        "Body"
      ],
      "processorStacks": [
        {
          "name": "Base",
          "materialKey": "_BaseColorMap",
          "processors": [
            {
              "name": "",
              "type": "ImageTexture",
              "blendMode": "",
              "intParams": [],
              "floatParams": [],
              "stringParams": [
                "skin.png"
              ],
              "textureReferences": [
                "/Game/Skin/T_Soft.T_Soft"
              ]
            }
          ]
        }
      ],
      "handlers": [
        {
          "type": "PixelPickerElement",
          "displayName": "Tone",
          "stack": 0,
          "process": 0,
          "field": "",
          "intParams": [],
          "floatParams": [
            0,
            0.5
          ],
          "stringParams": [],
          "textureParams": [
            "/Game/Skin/T_Picker.T_Picker"
          ]
        }
      ]
    }
  ]
}
)");

	// Without --content and outside any Content folder, /Game/ is not mounted.
	const FVorpexRun Unmounted = Run({"inspect", "skin", File});
	EXPECT_EQ(Unmounted.ExitCode, 1);
	EXPECT_EQ(Unmounted.Out, "");
	EXPECT_TRUE(Contains(Unmounted.Err, "LogAssetIO: Warning: Cannot load '/Game/Skin/T_Picker.T_Picker': '/Game/Skin/T_Picker' is not a valid "
										 "package name: no content folder is mounted at its root\n"))
		<< Unmounted.Err;
	EXPECT_TRUE(Contains(Unmounted.Err, "LogTemp: Warning: Failed to parse JSON into UHCCharacterEditorSkinCompositionData\n"
										 "vorpex: cannot load skin composition " + File + "\n"))
		<< Unmounted.Err;
}

TEST_F(InspectCommandTest, NearestEnclosingContentFolderIsMounted)
{
	// Only the inner Content folder holds the texture; the outer one must not be chosen.
	WritePng(PathOf("Outer/Content/Inner/Content/Skin/T_Inner.png"));
	const std::string File =
		WriteText("Outer/Content/Inner/Content/Data/config.json", R"({"meshAlbedos": [{"meshName": "Body", "texture": "/Game/Skin/T_Inner.T_Inner"}]})");
	const FVorpexRun Result = Run({"inspect", "config", File});
	EXPECT_EQ(Result.ExitCode, 0) << Result.Err;
	EXPECT_TRUE(Contains(Result.Out, R"("texture": "/Game/Skin/T_Inner.T_Inner")")) << Result.Out;

	// A missing texture under a mounted folder names the file that was looked for.
	const std::string Missing =
		WriteText("Outer/Content/Inner/Content/Data/missing.json", R"({"meshAlbedos": [{"texture": "/Game/Skin/T_Gone.T_Gone"}]})");
	const FVorpexRun Failed = Run({"inspect", "config", Missing});
	EXPECT_EQ(Failed.ExitCode, 1);
	EXPECT_EQ(Failed.Out, "");
	EXPECT_TRUE(Contains(Failed.Err, "LogAssetIO: Warning: Cannot load '/Game/Skin/T_Gone.T_Gone': no file " + PathOf("Outer/Content/Inner/Content/Skin/T_Gone")
										 + ".* (known kinds: .png, .json, .glb, .gltf)\n"))
		<< Failed.Err;
}

TEST_F(InspectCommandTest, UnloadableFilesExitWithOneAndTheLoggedReason)
{
	const std::string Missing = PathOf("missing.json");
	const FVorpexRun NoFile = Run({"inspect", "catalog", Missing});
	EXPECT_EQ(NoFile.ExitCode, 1);
	EXPECT_EQ(NoFile.Out, "");
	EXPECT_EQ(NoFile.Err, "LogTemp: Warning: Failed to load file: " + Missing + "\nvorpex: cannot load catalog " + Missing + "\n");

	const std::string WrongType = WriteText("wrong.json", R"({"textures": 5})");
	const FVorpexRun BadValue = Run({"inspect", "catalog", WrongType});
	EXPECT_EQ(BadValue.ExitCode, 1);
	EXPECT_EQ(BadValue.Out, "");
	EXPECT_TRUE(Contains(BadValue.Err, "LogTemp: Warning: Failed to parse JSON into UHCAssetCatalogData\nvorpex: cannot load catalog " + WrongType + "\n"))
		<< BadValue.Err;

	const std::string NotJson = WriteText("broken.json", "{\"groups\": [");
	const FVorpexRun Broken = Run({"inspect", "descriptor", NotJson});
	EXPECT_EQ(Broken.ExitCode, 1);
	EXPECT_EQ(Broken.Out, "");
	EXPECT_EQ(Broken.Err, "LogTemp: Warning: Failed to parse JSON into UHCCharacterDescriptorData\nvorpex: cannot load descriptor " + NotJson + "\n");
}

TEST_F(InspectCommandTest, CheckReportsCatalogPositionsOutsideTheirLists)
{
	const std::string File = WriteText("catalog.json", R"({
		"textures": [{"path": "a"}], "meshes": [{"name": "m"}],
		"materials": [{"name": "Skin", "textureExports": [{"key": "BC", "textureVariationIndices": [0, 3]}]}],
		"templateAssets": [{"skinnedRenderObjects": [{"meshExportIndex": 1, "materialExportIndex": [0, -1]}]}],
		"deformableAssets": [{"templateIndex": 2}], "shapeAssets": [{"templateIndex": 0}],
		"overlayAssets": [{"overlayMaterialConnections": [{"materialIndex": 4,
			"overlayAtlasInformations": [{"variantRegions": [{"textureIndex": 1}]}]}]}],
		"characterEditors": [{"templateAssetIndex": "0"}, {"templateAssetIndex": "1"}, {"templateAssetIndex": "x"}]})");
	const FVorpexRun Result = Run({"inspect", "catalog", File, "--check"});
	EXPECT_EQ(Result.ExitCode, 2);
	EXPECT_EQ(Result.Out.substr(0, 2), "{\n");
	EXPECT_EQ(Result.Err, "materials[0].textureExports[0].textureVariationIndices[1]: 3 is outside textures (1 entry)\n"
						  "templateAssets[0].skinnedRenderObjects[0].meshExportIndex: 1 is outside meshes (1 entry)\n"
						  "templateAssets[0].skinnedRenderObjects[0].materialExportIndex[1]: -1 is outside materials (1 entry)\n"
						  "deformableAssets[0].templateIndex: 2 is outside templateAssets (1 entry)\n"
						  "overlayAssets[0].overlayMaterialConnections[0].materialIndex: 4 is outside materials (1 entry)\n"
						  "overlayAssets[0].overlayMaterialConnections[0].overlayAtlasInformations[0].variantRegions[0].textureIndex: 1 is outside "
						  "textures (1 entry)\n"
						  "characterEditors[1].templateAssetIndex: 1 is outside templateAssets (1 entry)\n"
						  "characterEditors[2].templateAssetIndex: 'x' is not a position in templateAssets\n");

	const std::string Clean = WriteText("clean.json", R"({"textures": [{}], "materials": [{"textureExports": [{"textureVariationIndices": [0]}]}]})");
	const FVorpexRun CleanResult = Run({"inspect", "catalog", Clean, "--check"});
	EXPECT_EQ(CleanResult.ExitCode, 0);
	EXPECT_EQ(CleanResult.Err, "");
}

TEST_F(InspectCommandTest, CheckReportsDescriptorErrorsAgainstItsCatalog)
{
	const std::string Catalog = WriteText("catalog.json", R"({"textures": [{}], "templateAssets": [{}], "shapeAssets": [{}],
		"materials": [{"name": "Cloth", "textureExports": [{"key": "BC", "textureVariationIndices": [0, 0]}]},
			{"name": "Plain", "textureExports": [{"key": "N", "textureVariationIndices": [0]}]}],
		"deformableAssets": [{"skinnedRenderObjects": [{"materialExportIndex": [1, 0]}]}],
		"overlayAssets": [{"assetName": "Tattoo", "overlayMaterialConnections": [{"overlayAtlasInformations": [{"variantRegions": [{}, {}]}]}]}]})");
	const std::string Descriptor = WriteText("descriptor.json", R"({"groups": [{"characters": [{"name": "A", "blends": []},
		{"name": "B", "blends": [{"templateAssetIndex": 1, "shapeWeights": [{"index": 0}, {"index": 1}], "textureWeights": [{"index": -2}],
			"deformableAssetsIndices": [{"deformableAssetIndex": 0, "variationIndex": 2}, {"deformableAssetIndex": 1}]}],
		 "overlayAssetsIndices": [{"overlayAssetIndex": 0, "variationIndex": 2}, {"overlayAssetIndex": 3}]}]}]})");

	const FVorpexRun Result = Run({"inspect", "descriptor", Descriptor, "--check", "--catalog", Catalog});
	EXPECT_EQ(Result.ExitCode, 2);
	EXPECT_EQ(Result.Err,
		"groups[0].characters[0].blends: character has no blend\n"
		"groups[0].characters[1].blends[0].templateAssetIndex: 1 is outside templateAssets (1 entry)\n"
		"groups[0].characters[1].blends[0].shapeWeights[1].index: 1 is outside shapeAssets (1 entry)\n"
		"groups[0].characters[1].blends[0].textureWeights[0].index: -2 is outside shapeAssets (1 entry)\n"
		"groups[0].characters[1].blends[0].deformableAssetsIndices[0].variationIndex: 2 is outside the 2 variations of texture export 'BC' of "
		"material 'Cloth'\n"
		"groups[0].characters[1].blends[0].deformableAssetsIndices[1].deformableAssetIndex: 1 is outside deformableAssets (1 entry)\n"
		"groups[0].characters[1].overlayAssetsIndices[0].variationIndex: 2 is outside the 2 variant regions of an atlas of overlay 'Tattoo'\n"
		"groups[0].characters[1].overlayAssetsIndices[1].overlayAssetIndex: 3 is outside overlayAssets (1 entry)\n");

	// Without the catalog its list lengths are unknown: only what is wrong regardless is reported.
	const FVorpexRun Alone = Run({"inspect", "descriptor", Descriptor, "--check"});
	EXPECT_EQ(Alone.ExitCode, 2);
	EXPECT_EQ(Alone.Err, "groups[0].characters[0].blends: character has no blend\n"
						 "groups[0].characters[1].blends[0].textureWeights[0].index: -2 is outside shapeAssets\n");

	const FVorpexRun MissingCatalog = Run({"inspect", "descriptor", Descriptor, "--check", "--catalog", PathOf("none.json")});
	EXPECT_EQ(MissingCatalog.ExitCode, 1);
	EXPECT_EQ(MissingCatalog.Out, "");
	EXPECT_TRUE(Contains(MissingCatalog.Err, "vorpex: cannot load catalog " + PathOf("none.json") + "\n")) << MissingCatalog.Err;
}

TEST_F(InspectCommandTest, CheckReportsShapeConstraintsWithoutShapes)
{
	const std::string File = WriteText("config.json", R"({"segmentations": [{"shapeConstraints": [{"shapes": ["A"]}]},
		{"shapeConstraints": [{"displayName": "Empty"}, {"shapes": []}]}]})");
	const FVorpexRun Result = Run({"inspect", "config", File, "--check"});
	EXPECT_EQ(Result.ExitCode, 2);
	EXPECT_EQ(Result.Err, "segmentations[1].shapeConstraints[0].shapes: shape constraint has no shapes\n"
						  "segmentations[1].shapeConstraints[1].shapes: shape constraint has no shapes\n");
}

TEST_F(InspectCommandTest, CheckReportsSkinCompositionReferencesAndPickers)
{
	WritePng(PathOf("Content/T_Pick.png"));
	const std::string File = WriteText("Content/skin.json", R"({"components": [{"processorStacks": [
		{"processors": [{"type": "ImageTexture", "stringParams": ["m.png"]}]},
		{"processors": [{"type": "ImageTexture", "stringParams": ["s.png"]}, {"type": "Colorize", "intParams": [0]},
			{"type": "Colorize", "intParams": [1]}, {"type": "Swizzle", "intParams": [9, 9, 9, 9]},
			{"type": "Swizzle", "stringParams": ["armtomads"]}, {"type": "ImageTexture", "intParams": [-1, 5]}]}],
		"handlers": [{"type": "PixelPickerElement", "stack": 1, "process": 4, "textureParams": ["/Game/T_Pick.T_Pick"]},
			{"type": "PixelPickerElement", "stack": 1, "process": 3},
			{"type": "Slider", "stack": 2},
			{"type": "PixelPickerElement", "stack": 1, "process": 5, "textureParams": ["/Game/T_Pick.T_Pick", "/Game/T_Pick.T_Pick"]}]}]})");
	const FVorpexRun Result = Run({"inspect", "skin", File, "--check"});
	EXPECT_EQ(Result.ExitCode, 2);
	// The "ArmToMads" swizzle takes no editable position, so stack 1 has five, not six.
	EXPECT_EQ(Result.Err, "components[0].processorStacks[1].processors[2].intParams[0]: stack 1 is not an earlier stack than 1\n"
						  "components[0].processorStacks[1].processors[5].intParams[1]: 5 is outside processorStacks (2 entries)\n"
						  "components[0].handlers[1].textureParams: colour picker needs exactly one texture, found 0\n"
						  "components[0].handlers[2].stack: 2 is outside processorStacks (2 entries)\n"
						  "components[0].handlers[3].process: 5 is outside the 5 editable processors of processorStacks[1]\n"
						  "components[0].handlers[3].textureParams: colour picker needs exactly one texture, found 2\n");
}

TEST_F(InspectCommandTest, HelpAndBadUsage)
{
	const FVorpexRun Help = Run({"--help"});
	EXPECT_EQ(Help.ExitCode, 0);
	EXPECT_TRUE(Contains(Help.Out, "inspect")) << Help.Out;
	EXPECT_EQ(Help.Err, "");
	const FVorpexRun InspectHelp = Run({"inspect", "--help"});
	EXPECT_EQ(InspectHelp.ExitCode, 0);
	EXPECT_TRUE(Contains(InspectHelp.Out, "--content") && Contains(InspectHelp.Out, "--check") && Contains(InspectHelp.Out, "--catalog"))
		<< InspectHelp.Out;

	const std::string Config = WriteText("config.json", "{}");
	for (const FVorpexRun& Bad : {Run({}), Run({"inspect", "mesh", Config}), Run({"inspect", "catalog"}), Run({"frobnicate"}),
			 Run({"inspect", "config", Config, "--content", PathOf("no-such-folder")}),
			 Run({"inspect", "descriptor", Config, "--catalog", Config}),
			 Run({"inspect", "config", Config, "--check", "--catalog", Config})})
	{
		EXPECT_EQ(Bad.ExitCode, 64) << Bad.Err;
		EXPECT_EQ(Bad.Out, "");
		EXPECT_FALSE(Bad.Err.empty());
	}
	EXPECT_TRUE(Contains(Run({"inspect", "config", Config, "--check", "--catalog", Config}).Err, "only a descriptor is checked against a catalog"));
}
