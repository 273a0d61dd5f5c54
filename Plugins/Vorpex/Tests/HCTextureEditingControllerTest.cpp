// The texture-editing controller: colour pickers shared per segmentation and display name,
// palettes read back from the GPU, sampling, start colours, slider changes, and the result
// of a batch read back from the GPU.

#include "Controllers/HCTextureEditingColorPickerData.h"
#include "Controllers/HCTextureEditingController.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "DataAssets/HCDataAssets.h"
#include "HCTextureEditingTestSupport.h"
#include "Models/HCTextureEditingModel.h"

namespace
{
	constexpr int32 PaletteWidth = 4;
	constexpr int32 PaletteHeight = 3;

	/** A distinct colour per palette texel; the last texel is pure red and the first pure blue, which survive colour conversion exactly. */
	FColor PaletteTexel(int32 X, int32 Y)
	{
		if (X == PaletteWidth - 1 && Y == PaletteHeight - 1)
		{
			return FColor(255, 0, 0, 255);
		}
		if (X == 0 && Y == 0)
		{
			return FColor(0, 0, 255, 255);
		}
		return FColor(static_cast<uint8>(10 + 50 * X), static_cast<uint8>(20 + 70 * Y), 7, 255);
	}

	FString PickerHandler(const TCHAR* DisplayName, int32 Stack, int32 Process, const FString& Texture, const TCHAR* FloatParams = TEXT("[]"))
	{
		return FString::Printf(TEXT(R"({"type": "PixelPickerElement", "displayName": "%s", "stack": %d, "process": %d, "textureParams": [%s], "floatParams": %s})"),
			DisplayName, Stack, Process, *Texture, FloatParams);
	}
}

class HCTextureEditingControllerTest : public HCTextureEditingTest
{
protected:
	void SetUp() override
	{
		HCTextureEditingTest::SetUp();
		WritePng(TEXT("Pickers/T_Palette.png"), PaletteWidth, PaletteHeight, PaletteTexel);
		Palette = FString::Printf(TEXT("\"%s\""), *ObjectPathOf(TEXT("Pickers/T_Palette.png")));
		Config = LoadJsonAsset<UHCCharacterEditorConfigData>(TEXT("Data/Config.json"), TEXT(R"({"segmentations": [
			{"name": "BodySeg", "targetSkinCompositionMeshes": ["Body", "Face"]},
			{"name": "HairSeg", "targetSkinCompositionMeshes": ["Hair"]}]})"));
	}

	UHCTextureEditingController* MakeController(UHCCharacterEditorSkinCompositionData* Skin)
	{
		UHCTextureEditingController* Controller = NewObject<UHCTextureEditingController>();
		Kept.Add(TStrongObjectPtr<UObject>(Controller));
		Controller->Initialize(Config, Skin);
		return Controller;
	}

	/**
	 * A skin composition whose component 0 (mesh Body) colours the skin image inside the mask
	 * region (left half) and whose component 1 (mesh Face) colours a whole image, with the
	 * handlers given per component.
	 */
	UHCCharacterEditorSkinCompositionData* LoadSkin(const TCHAR* Name, const FString& BodyHandlers, const FString& FaceHandlers)
	{
		return LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(FString::Printf(TEXT("Data/%s.json"), Name), FString::Printf(TEXT(R"({"components": [
			{"meshes": ["Body"], "handlers": [%s], "processorStacks": [
				{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Region_M.png"]}]},
				{"materialKey": "_BaseColorMap", "processors": [
					{"type": "ImageTexture", "stringParams": ["../Textures/T_White.png"]},
					{"type": "Colorize", "intParams": [0]}]}]},
			{"meshes": ["Face"], "handlers": [%s], "processorStacks": [
				{"materialKey": "_BaseColorMap", "processors": [
					{"type": "ImageTexture", "stringParams": ["../Textures/T_White.png"]},
					{"type": "Colorize"}]}]}]})"), *BodyHandlers, *FaceHandlers));
	}

	UHCTextureEditingModel* BuildModel(UHCCharacterEditorSkinCompositionData* Skin)
	{
		WritePng(TEXT("Textures/T_Region_M.png"), 4, 4, [](int32 X, int32) { return X < 2 ? FColor(255, 0, 0, 255) : FColor(0, 0, 0, 255); });
		WriteUniformPng(TEXT("Textures/T_White.png"), FColor(255, 255, 255, 255));
		UHCTextureEditingModel* Model = NewObject<UHCTextureEditingModel>();
		Kept.Add(TStrongObjectPtr<UObject>(Model));
		Model->Initialize(Skin, nullptr);
		return Model;
	}

	static UHCColorize* BodyColorize(UHCTextureEditingModel* Model)
	{
		return Cast<UHCColorize>(Model->GetImageProcessorComponents()[0].ImageProcessorStacks[1].InterfaceProcessors[1].Get());
	}

	static UHCColorize* FaceColorize(UHCTextureEditingModel* Model)
	{
		return Cast<UHCColorize>(Model->GetImageProcessorComponents()[1].ImageProcessorStacks[0].InterfaceProcessors[1].Get());
	}

	static const FHCCharacterEditorSkinCompositionHandler* Handler(UHCCharacterEditorSkinCompositionData* Skin, int32 Component, int32 Index)
	{
		return &Skin->components[Component].handlers[Index];
	}

	UHCCharacterEditorConfigData* Config = nullptr;
	FString Palette;
};

TEST_F(HCTextureEditingControllerTest, PickersAreSharedPerSegmentationAndDisplayName)
{
	WritePng(TEXT("Pickers/T_Other.png"), 2, 2, [](int32, int32) { return FColor(1, 2, 3, 4); });
	const FString Other = FString::Printf(TEXT("\"%s\""), *ObjectPathOf(TEXT("Pickers/T_Other.png")));
	UHCCharacterEditorSkinCompositionData* Skin = LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/Skin.json"),
		FString::Printf(TEXT(R"({"components": [
			{"meshes": ["Body", "Hair"], "handlers": [%s, {"type": "SliderElement", "displayName": "Tone"}]},
			{"meshes": ["FACE"], "handlers": [%s, %s]},
			{"meshes": ["Hair"], "handlers": [%s, {"type": "PixelPickerElement", "displayName": "NoImage"}]},
			{"meshes": ["Prop"], "handlers": [%s]},
			{"meshes": [], "handlers": [%s]}]})"),
			*PickerHandler(TEXT("Skin"), 1, 1, Palette), *PickerHandler(TEXT("Skin"), 0, 2, Other), *PickerHandler(TEXT("Eyes"), 2, 3, Palette),
			*PickerHandler(TEXT("Skin"), 4, 5, Other), *PickerHandler(TEXT("Skin"), 0, 0, Palette), *PickerHandler(TEXT("Skin"), 0, 0, Palette)));
	FLogCapture Capture;
	UHCTextureEditingController* Controller = MakeController(Skin);

	const TArray<FHCTextureEditingColorPickerData>& Pickers = Controller->GetColorPickers();
	ASSERT_EQ(Pickers.Num(), 3);
	// Body and FACE lie in one segmentation: one "Skin" picker, made from the first handler's image.
	EXPECT_EQ(Pickers[0].texture2D->GetName(), FString(TEXT("T_Palette")));
	EXPECT_EQ(Pickers[0].components, (TArray<int64>{0, 1}));
	EXPECT_EQ(Pickers[0].stacks, (TArray<int64>{1, 0}));
	EXPECT_EQ(Pickers[0].processes, (TArray<int64>{1, 2}));
	EXPECT_EQ(Pickers[1].components, TArray<int64>{1});
	EXPECT_EQ(Pickers[1].stacks, TArray<int64>{2});
	EXPECT_EQ(Pickers[1].processes, TArray<int64>{3});
	// The same display name in another segmentation is another picker.
	EXPECT_EQ(Pickers[2].texture2D->GetName(), FString(TEXT("T_Other")));
	EXPECT_EQ(Pickers[2].components, TArray<int64>{2});
	EXPECT_EQ(Pickers[2].stacks, TArray<int64>{4});
	EXPECT_EQ(Pickers[2].processes, TArray<int64>{5});

	EXPECT_EQ(Controller->FindColorPicker(Handler(Skin, 0, 0)), 0);
	EXPECT_EQ(Controller->FindColorPicker(Handler(Skin, 1, 0)), 0);
	EXPECT_EQ(Controller->FindColorPicker(Handler(Skin, 1, 1)), 1);
	EXPECT_EQ(Controller->FindColorPicker(Handler(Skin, 2, 0)), 2);
	EXPECT_EQ(Controller->FindColorPicker(Handler(Skin, 0, 1)), -1);
	EXPECT_EQ(Controller->FindColorPicker(Handler(Skin, 2, 1)), -1);
	EXPECT_EQ(Controller->FindColorPicker(Handler(Skin, 3, 0)), -1);
	EXPECT_EQ(Controller->FindColorPicker(Handler(Skin, 4, 0)), -1);
	// The handler's address is the key, not its value.
	const FHCCharacterEditorSkinCompositionHandler Copy = *Handler(Skin, 0, 0);
	EXPECT_EQ(Controller->FindColorPicker(&Copy), -1);

	// The palette comes back texel for texel, row 0 first.
	EXPECT_EQ(Pickers[0].width, PaletteWidth);
	EXPECT_EQ(Pickers[0].height, PaletteHeight);
	ASSERT_EQ(Pickers[0].textureColors.Num(), PaletteWidth * PaletteHeight);
	for (int32 Y = 0; Y < PaletteHeight; ++Y)
	{
		for (int32 X = 0; X < PaletteWidth; ++X)
		{
			EXPECT_EQ(Pickers[0].textureColors[Y * PaletteWidth + X], PaletteTexel(X, Y)) << X << ", " << Y;
		}
	}
	EXPECT_EQ(Pickers[2].textureColors, (TArray<FColor>{FColor(1, 2, 3, 4), FColor(1, 2, 3, 4), FColor(1, 2, 3, 4), FColor(1, 2, 3, 4)}));

	EXPECT_EQ(TempErrors(Capture), (TArray<FString>{
		TEXT("Skin composition component 0, handler 1: unsupported handler type \"SliderElement\"; skipped."),
		TEXT("Skin composition component 2, handler 1: check \"Handler->textureParams.Num() == 1\" failed; skipped."),
		TEXT("Skin composition component 4 has no meshes; its handlers get no colour pickers."),
	}));

	// Initialize again starts over.
	Controller->Initialize(Config, Skin);
	EXPECT_EQ(Controller->GetColorPickers().Num(), 3);
	EXPECT_EQ(Controller->GetColorPickers()[0].components, (TArray<int64>{0, 1}));
}

TEST(HCTextureEditingColorPickerDataTest, SamplingMapsMinusOneToOneOntoTheWholePalette)
{
	FHCTextureEditingColorPickerData Picker;
	Picker.width = 256;
	Picker.height = 256;
	for (int32 Index = 0; Index < 256 * 256; ++Index)
	{
		Picker.textureColors.Add(FColor(static_cast<uint8>(Index % 256), static_cast<uint8>(Index / 256), 0, 255));
	}
	const auto IndexAt = [&Picker](float X, float Y)
	{
		const FColor Color = Picker.SampleColor(FVector2f(X, Y));
		return Color.R + 256 * Color.G;
	};
	EXPECT_EQ(IndexAt(0.0f, 0.0f), 32639);
	EXPECT_EQ(IndexAt(-1.0f, -1.0f), 0);
	EXPECT_EQ(IndexAt(1.0f, 1.0f), 65535);
	EXPECT_EQ(IndexAt(1.0f, -1.0f), 255);
	EXPECT_EQ(IndexAt(-1.0f, 1.0f), 255 * 256);
	EXPECT_EQ(IndexAt(0.5f, -0.5f), 63 * 256 + 191);
	// Outside [-1, 1] (and NaN) the nearest edge is taken instead of reading outside the palette.
	EXPECT_EQ(IndexAt(3.0f, -2.0f), 255);
	EXPECT_EQ(IndexAt(std::numeric_limits<float>::quiet_NaN(), 1.0f), 255 * 256);

	// A non-square palette: columns and rows scale separately.
	FHCTextureEditingColorPickerData Wide;
	Wide.width = 5;
	Wide.height = 2;
	for (int32 Index = 0; Index < 10; ++Index)
	{
		Wide.textureColors.Add(FColor(static_cast<uint8>(Index), 0, 0, 255));
	}
	EXPECT_EQ(Wide.SampleColor(FVector2f(0.0f, 0.0f)).R, 2);
	EXPECT_EQ(Wide.SampleColor(FVector2f(1.0f, 0.0f)).R, 4);
	EXPECT_EQ(Wide.SampleColor(FVector2f(-1.0f, 1.0f)).R, 5);
}

TEST(HCTextureEditingColorPickerDataTest, APickerWithoutColoursGivesTransparentBlackQuietly)
{
	FLogCapture Capture;
	FHCTextureEditingColorPickerData Empty;
	EXPECT_EQ(Empty.SampleColor(FVector2f(0.0f, 0.0f)), FColor(0, 0, 0, 0));
	Empty.width = 16;
	Empty.height = 16;
	EXPECT_EQ(Empty.SampleColor(FVector2f(1.0f, 1.0f)), FColor(0, 0, 0, 0));
	Empty.textureColors.Init(FColor(9, 9, 9, 9), 16 * 15);
	EXPECT_EQ(Empty.SampleColor(FVector2f(1.0f, 1.0f)), FColor(0, 0, 0, 0));
	EXPECT_TRUE(Capture.GetEntries().IsEmpty());

	EXPECT_FALSE(Empty.SetTextureColors());
	EXPECT_EQ(Capture.GetLines(), TArray<FString>{TEXT("LogTemp: Warning: Invalid texture.")});
	EXPECT_EQ(Empty.textureColors.Num(), 16 * 15);
}

TEST_F(HCTextureEditingControllerTest, StartColoursSliderChangesAndTheAppliedResult)
{
	// Separate pickers: the body starts at (0.5, -0.5), the face (one float parameter) at the centre.
	UHCCharacterEditorSkinCompositionData* Separate = LoadSkin(TEXT("Separate"), PickerHandler(TEXT("Skin"), 1, 1, Palette, TEXT("[0.5, -0.5]")),
		PickerHandler(TEXT("Face"), 0, 1, Palette, TEXT("[0.25]")));
	UHCTextureEditingModel* Model = BuildModel(Separate);
	ASSERT_EQ(Model->GetImageProcessorComponents().Num(), 2);
	UHCColorize* Body = BodyColorize(Model);
	UHCColorize* Face = FaceColorize(Model);
	ASSERT_TRUE(Body && Face);

	UHCTextureEditingController* First = MakeController(Separate);
	First->SetModel(Model);
	First->ApplyChanges();
	EXPECT_FALSE(Model->IsMarkedDirty());
	First->ResetToConfigValues();
	EXPECT_TRUE(Model->IsMarkedDirty());
	EXPECT_EQ(Body->GetColor(), PaletteTexel(2, 0));
	EXPECT_EQ(Face->GetColor(), PaletteTexel(1, 1));

	// One shared picker with two bindings: every handler of it colours both processors, the last
	// one's start position winning. A handler of another type and a binding that addresses an
	// image texture are skipped with errors.
	UHCCharacterEditorSkinCompositionData* Shared = LoadSkin(TEXT("Shared"),
		PickerHandler(TEXT("Skin"), 1, 1, Palette) + TEXT(R"(, {"type": "SliderElement"}, )") + PickerHandler(TEXT("Base"), 1, 0, Palette),
		PickerHandler(TEXT("Skin"), 0, 1, Palette, TEXT("[0.5, -0.5]")));
	FLogCapture Capture;
	UHCTextureEditingController* Controller = MakeController(Shared);
	Controller->SetModel(Model);
	Controller->ResetToConfigValues();
	EXPECT_EQ(Body->GetColor(), PaletteTexel(2, 0));
	EXPECT_EQ(Face->GetColor(), PaletteTexel(2, 0));
	EXPECT_EQ(TempErrors(Capture), (TArray<FString>{
		TEXT("Skin composition component 0, handler 1: unsupported handler type \"SliderElement\"; skipped."),
		TEXT("Colour picker binding (component 0, stack 1, processor 0) addresses no colorize processor; skipped."),
	}));

	// A handler of another type changes nothing but still marks the model dirty.
	Controller->ApplyChanges();
	EXPECT_FALSE(Model->IsMarkedDirty());
	Controller->UpdateModel(nullptr, Handler(Shared, 0, 1), FVector2f(1.0f, 1.0f));
	EXPECT_TRUE(Model->IsMarkedDirty());
	EXPECT_EQ(Body->GetColor(), PaletteTexel(2, 0));
	EXPECT_EQ(Face->GetColor(), PaletteTexel(2, 0));

	// Either handler of the shared picker recolours both processors.
	Controller->UpdateModel(nullptr, Handler(Shared, 1, 0), FVector2f(1.0f, 1.0f));
	EXPECT_EQ(Body->GetColor(), FColor(255, 0, 0, 255));
	EXPECT_EQ(Face->GetColor(), FColor(255, 0, 0, 255));

	// After applying, the body's result is the picked colour inside the mask and the plain skin outside it.
	Controller->ApplyChanges();
	EXPECT_FALSE(Model->IsMarkedDirty());
	FlushRenderingCommands();
	UTextureRenderTarget2D* BodyTarget = Model->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("Body"), EHCTextureEditingMaterialKey::MK_Albedo));
	UTextureRenderTarget2D* FaceTarget = Model->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("Face"), EHCTextureEditingMaterialKey::MK_Albedo));
	TArray<FColor> Pixels;
	ASSERT_TRUE(BodyTarget->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	ASSERT_EQ(Pixels.Num(), 4096 * 4096);
	for (int32 Y : {0, 2048, 4095})
	{
		EXPECT_EQ(Pixels[Y * 4096 + 0], FColor(255, 0, 0, 255)) << Y;
		EXPECT_EQ(Pixels[Y * 4096 + 1000], FColor(255, 0, 0, 255)) << Y;
		EXPECT_EQ(Pixels[Y * 4096 + 3000], FColor(255, 255, 255, 255)) << Y;
		EXPECT_EQ(Pixels[Y * 4096 + 4095], FColor(255, 255, 255, 255)) << Y;
	}

	// The one-processor overload runs just that graph: the face turns blue, the body stays red.
	Controller->UpdateModel(nullptr, Handler(Shared, 0, 0), FVector2f(-1.0f, -1.0f));
	UTextureRenderTarget2D* BodyBefore = BodyTarget;
	UHCTextureEditingController::ProcessImageGameThread(Face);
	FlushRenderingCommands();
	ASSERT_TRUE(FaceTarget->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	EXPECT_EQ(Pixels[0], FColor(0, 0, 255, 255));
	EXPECT_EQ(Pixels[4096 * 4096 - 1], FColor(0, 0, 255, 255));
	ASSERT_TRUE(BodyBefore->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	EXPECT_EQ(Pixels[0], FColor(255, 0, 0, 255));
}

TEST_F(HCTextureEditingControllerTest, HandlersWithoutAUsablePickerAreSkipped)
{
	UHCCharacterEditorSkinCompositionData* Skin = LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/Skin.json"),
		FString::Printf(TEXT(R"({"components": [{"meshes": ["Prop"], "handlers": [%s]}, {"meshes": ["Body"], "handlers": [%s]}]})"),
			*PickerHandler(TEXT("Skin"), 0, 0, Palette), *PickerHandler(TEXT("Blank"), 0, 0, TEXT("\"\""))));
	UHCTextureEditingModel* Model = NewObject<UHCTextureEditingModel>();
	Kept.Add(TStrongObjectPtr<UObject>(Model));
	Model->Initialize(Skin, nullptr);
	FLogCapture Capture;
	UHCTextureEditingController* Controller = MakeController(Skin);
	Controller->SetModel(Model);
	// The picker without an image exists (its handler is bound) but never samples.
	ASSERT_EQ(Controller->GetColorPickers().Num(), 1);
	EXPECT_TRUE(Controller->GetColorPickers()[0].textureColors.IsEmpty());
	EXPECT_EQ(Controller->FindColorPicker(Handler(Skin, 1, 0)), 0);

	Controller->ResetToConfigValues();
	Controller->UpdateModel(nullptr, Handler(Skin, 0, 0), FVector2f(0.0f, 0.0f));
	Controller->UpdateModel(nullptr, Handler(Skin, 1, 0), FVector2f(0.0f, 0.0f));
	EXPECT_EQ(TempErrors(Capture), (TArray<FString>{
		TEXT("Skin composition component 1: the palette of colour picker \"Blank\" could not be read; its handlers are skipped."),
		TEXT("Colour picker handler \"Skin\" has no colour picker; ignored."),
		TEXT("Colour picker \"Blank\" has no palette colours; ignored."),
		TEXT("Colour picker handler \"Skin\" has no colour picker; ignored."),
		TEXT("Colour picker \"Blank\" has no palette colours; ignored."),
	}));
	EXPECT_TRUE(Capture.Contains(TEXT("Invalid texture.")));
	EXPECT_TRUE(Model->IsMarkedDirty());
}
