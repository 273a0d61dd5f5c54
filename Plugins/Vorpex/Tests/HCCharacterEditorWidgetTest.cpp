// The character editor widget and its expandable areas: which sections and rows a
// configuration gives, in which order, with which slider kinds, ranges and fonts, and what a
// configuration that breaks the rules does.

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "Components/HorizontalBox.h"
#include "Components/HorizontalBoxSlot.h"
#include "Components/TextBlock.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Engine/GameViewportClient.h"
#include "Engine/Texture2D.h"
#include "Engine/World.h"
#include "HCCharacterEditorTestWidgets.h"
#include "Logging/LogCapture.h"
#include "UObject/Package.h"
#include "Views/HCCharacterEditorExpandableArea.h"

#include <gtest/gtest.h>

namespace
{
	FHCShapeConstraints Constraint(const TCHAR* DisplayName, int32 ShapeCount)
	{
		FHCShapeConstraints Result;
		Result.displayName = DisplayName;
		for (int32 Index = 0; Index < ShapeCount; ++Index)
		{
			Result.shapes.Add(FString::Printf(TEXT("%s%d"), DisplayName, Index));
		}
		return Result;
	}

	FHCCharacterEditorSegmentation Segmentation(const TCHAR* DisplayName, TArray<FString> Meshes, TArray<FHCShapeConstraints> Constraints)
	{
		FHCCharacterEditorSegmentation Result;
		Result.displayName = DisplayName;
		Result.targetSkinCompositionMeshes = std::move(Meshes);
		Result.shapeConstraints = std::move(Constraints);
		return Result;
	}

	FHCCharacterEditorSkinCompositionHandler Picker(const TCHAR* DisplayName, TArray<float> FloatParams = {0.5f, -0.5f}, const TCHAR* Type = TEXT("PixelPickerElement"))
	{
		FHCCharacterEditorSkinCompositionHandler Result;
		Result.type = Type;
		Result.displayName = DisplayName;
		Result.floatParams = std::move(FloatParams);
		// Handlers of one display name share a picker image, as in the sample's configuration.
		const FString ImageName = FString(TEXT("Picker_")) + DisplayName;
		UTexture2D* Image = FindObject<UTexture2D>(GetTransientPackage(), *ImageName);
		Result.textureParams.Add(Image ? Image : NewObject<UTexture2D>(GetTransientPackage(), FName(*ImageName)));
		return Result;
	}

	FHCCharacterEditorSkinCompositionComponent SkinComponent(TArray<FString> Meshes, TArray<FHCCharacterEditorSkinCompositionHandler> Handlers)
	{
		FHCCharacterEditorSkinCompositionComponent Result;
		Result.meshes = std::move(Meshes);
		Result.handlers = std::move(Handlers);
		return Result;
	}

	/** The widget's areas as "[Title]" lines, each followed by its rows as "Label: SliderClass". */
	TArray<FString> Describe(const UHCTestCharacterEditorWidget& Editor)
	{
		TArray<FString> Lines;
		for (UWidget* Child : Editor.GetSettingsList()->GetAllChildren())
		{
			const UExpandableArea* Area = Cast<UExpandableArea>(Child);
			Lines.Add(TEXT("[") + Cast<UTextBlock>(Area->GetContentForSlot(FName(TEXT("Header"))))->GetText().ToString() + TEXT("]"));
			for (UWidget* Row : Cast<UPanelWidget>(Area->GetContentForSlot(FName(TEXT("Body"))))->GetAllChildren())
			{
				const UHorizontalBox* Box = Cast<UHorizontalBox>(Row);
				Lines.Add(Cast<UTextBlock>(Box->GetChildAt(0))->GetText().ToString() + TEXT(": ") + Box->GetChildAt(1)->GetClass()->GetName());
			}
		}
		return Lines;
	}

	class HCCharacterEditorWidgetTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			HCCharacterEditorTest::Events().Empty();
			World = UWorld::CreateWorld(EWorldType::Game);
			Config = NewObject<UHCCharacterEditorConfigData>();
			Skin = NewObject<UHCCharacterEditorSkinCompositionData>();
			Component = NewObject<UHCEditableSkeletalMeshComponent>(World);
			Component->CEConfigData = Config;
			Component->SkinCompositionEditorData = Skin;
		}

		void TearDown() override
		{
			World->DestroyWorld();
			HCCharacterEditorTest::Events().Empty();
		}

		/** An editor of the test classes over the component, constructed. */
		UHCTestCharacterEditorWidget* Construct(UClass* EditorClass = UHCTestCharacterEditorWidget::StaticClass(), UClass* OneD = UHCTest1DSlider::StaticClass(),
			UClass* TwoD = UHCTest2DSlider::StaticClass())
		{
			UHCTestCharacterEditorWidget* Editor = CreateWidget<UHCTestCharacterEditorWidget>(World, EditorClass);
			Editor->HCSkeletalMeshComponent = Component;
			Editor->SetSliderClasses(OneD, TwoD, UHCTestPolygonSlider::StaticClass());
			Editor->Construct();
			return Editor;
		}

		UWorld* World = nullptr;
		UHCCharacterEditorConfigData* Config = nullptr;
		UHCCharacterEditorSkinCompositionData* Skin = nullptr;
		UHCEditableSkeletalMeshComponent* Component = nullptr;
	};
}

TEST_F(HCCharacterEditorWidgetTest, ShapeSectionsComeFirstThenColourOnlySectionsAndEqualTitlesShareOneArea)
{
	Config->segmentations = {
		Segmentation(TEXT("Empty"), {}, {}),
		Segmentation(TEXT("Skin"), {TEXT("Body")}, {}),
		Segmentation(TEXT("Head"), {TEXT("Face")}, {Constraint(TEXT("Nose"), 1), Constraint(TEXT("Chin"), 2)}),
		Segmentation(TEXT("Torso"), {}, {Constraint(TEXT("Belly"), 5)}),
		Segmentation(TEXT("head"), {TEXT("Scalp")}, {Constraint(TEXT("Ears"), 3)}),
	};
	Skin->components = {
		SkinComponent({TEXT("Face")}, {Picker(TEXT("Lips")), Picker(TEXT("Tone"))}),
		SkinComponent({TEXT("Body"), TEXT("Nails")}, {Picker(TEXT("Tone")), Picker(TEXT("Freckles"))}),
		SkinComponent({TEXT("body")}, {Picker(TEXT("tone")), Picker(TEXT("Moles"))}),
		SkinComponent({TEXT("Scalp")}, {Picker(TEXT("Tone"))}),
		SkinComponent({TEXT("Hat")}, {Picker(TEXT("Felt"))}),
	};
	UHCTestCharacterEditorWidget* Editor = Construct();
	EXPECT_EQ(Describe(*Editor), (TArray<FString>{
									 TEXT("[Head]"),
									 TEXT("Nose: HCTest1DSlider"),
									 TEXT("Chin: HCTest1DSlider"),
									 TEXT("Ears: HCTestPolygonSlider"),
									 TEXT("Lips: HCTest2DSlider"),
									 TEXT("Tone: HCTest2DSlider"),
									 TEXT("Tone: HCTest2DSlider"),
									 TEXT("[Torso]"),
									 TEXT("Belly: HCTestPolygonSlider"),
									 TEXT("[Skin]"),
									 TEXT("Tone: HCTest2DSlider"),
									 TEXT("Freckles: HCTest2DSlider"),
									 TEXT("Moles: HCTest2DSlider"),
								 }))
		<< "the second Tone of Head belongs to the other Head segmentation; Hat is in no segmentation";
	EXPECT_EQ(Editor->GetAreas().Num(), 3);
	EXPECT_NE(Editor->GetAreas().Find(TEXT("HEAD")), nullptr) << "titles ignore letter case";
	EXPECT_EQ(HCCharacterEditorTest::Events(), (TArray<FString>{
												   TEXT("SetRange 0 0 1 0.5 (kind 1)"),
												   TEXT("SetRange 0 -1 1 0.5 (kind 1)"),
												   TEXT("SetBackgroundTexture Picker_Lips"),
												   TEXT("SetBackgroundTexture Picker_Tone"),
												   TEXT("SetBackgroundTexture Picker_Tone"),
												   TEXT("SetBackgroundTexture Picker_Freckles"),
												   TEXT("SetBackgroundTexture Picker_Moles"),
												   TEXT("SetBackgroundTexture Picker_Tone"),
											   }))
		<< "rows are made in the order of the calls: the Head row of the Scalp component last";
}

TEST_F(HCCharacterEditorWidgetTest, SlidersAreBoundToTheirRecordsAndControllersAndPolygonsGetACornerPerShape)
{
	Config->segmentations = {Segmentation(TEXT("Head"), {TEXT("Face")}, {Constraint(TEXT("Nose"), 2), Constraint(TEXT("Belly"), 5)})};
	Skin->components = {SkinComponent({TEXT("Face")}, {Picker(TEXT("Lips"))})};
	UHCTestCharacterEditorWidget* Editor = Construct();
	const UPanelWidget* Rows = Cast<UPanelWidget>(Editor->GetAreas()[TEXT("Head")]->GetContentForSlot(FName(TEXT("Body"))));
	const auto SliderOf = [Rows](int32 Row) { return Cast<UHorizontalBox>(Rows->GetChildAt(Row))->GetChildAt(1); };

	const UHCCharacterEditor1DSlider* Nose = Cast<UHCCharacterEditor1DSlider>(SliderOf(0));
	EXPECT_EQ(Nose->ShapeConstraints, &Config->segmentations[0].shapeConstraints[0]);
	EXPECT_EQ(Nose->BindingKind, 1);
	const UHCCharacterEditorPolygonSlider* Belly = Cast<UHCCharacterEditorPolygonSlider>(SliderOf(1));
	EXPECT_EQ(Belly->ShapeConstraints, &Config->segmentations[0].shapeConstraints[1]);
	EXPECT_EQ(Belly->Vertices.Num(), 5);
	const UHCCharacterEditor2DSlider* Lips = Cast<UHCCharacterEditor2DSlider>(SliderOf(2));
	EXPECT_EQ(Lips->Handler, &Skin->components[0].handlers[0]);
	EXPECT_EQ(Lips->Segmentation, &Config->segmentations[0]);
	EXPECT_FALSE(Lips->bPickerPositionInitialized);
	EXPECT_EQ(Lips->GetOuter(), World) << "sliders are made in the area's world";

	// The label takes a third of the row, the slider two, each padded by 5.
	const UHorizontalBox* Row = Cast<UHorizontalBox>(Rows->GetChildAt(0));
	const UHorizontalBoxSlot* LabelSlot = Cast<UHorizontalBoxSlot>(Row->GetSlots()[0]);
	const UHorizontalBoxSlot* SliderSlot = Cast<UHorizontalBoxSlot>(Row->GetSlots()[1]);
	EXPECT_EQ(LabelSlot->GetPadding(), FMargin(5.0f));
	EXPECT_EQ(LabelSlot->GetHorizontalAlignment(), HAlign_Left);
	EXPECT_EQ(LabelSlot->GetSize().Value, 0.5f);
	EXPECT_EQ(SliderSlot->GetHorizontalAlignment(), HAlign_Fill);
	EXPECT_EQ(SliderSlot->GetSize().Value, 1.0f);
	EXPECT_EQ(SliderSlot->GetSize().SizeRule, ESlateSizeRule::Fill);
}

TEST_F(HCCharacterEditorWidgetTest, FontSizesAreTheNearestWholeSizesAtTheViewportScale)
{
	Config->segmentations = {Segmentation(TEXT("Head"), {}, {Constraint(TEXT("Nose"), 1)})};
	struct FCase
	{
		float Scale;
		float TitleSize;
		float LabelSize;
	};
	for (const FCase& Case : {FCase{1.5f, 30.0f, 18.0f}, FCase{1.25f, 25.0f, 15.0f}, FCase{1.2f, 24.0f, 14.0f}, FCase{1.0f, 20.0f, 12.0f}})
	{
		const float Scale = Case.Scale;
		World->GetGameViewport()->SetDPIScale(Scale);
		UHCTestCharacterEditorWidget* Editor = Construct();
		const UExpandableArea* Area = Editor->GetAreas()[TEXT("Head")];
		const FSlateFontInfo Title = Cast<UTextBlock>(Area->GetContentForSlot(FName(TEXT("Header"))))->GetFont();
		const UHorizontalBox* Row = Cast<UHorizontalBox>(Cast<UPanelWidget>(Area->GetContentForSlot(FName(TEXT("Body"))))->GetChildAt(0));
		const FSlateFontInfo Label = Cast<UTextBlock>(Row->GetChildAt(0))->GetFont();
		EXPECT_EQ(Title.Size, Case.TitleSize) << "scale " << Scale;
		EXPECT_EQ(Label.Size, Case.LabelSize) << "scale " << Scale;
		EXPECT_EQ(Title.TypefaceFontName, FName(TEXT("Regular")));
		EXPECT_EQ(Label.TypefaceFontName, FName(TEXT("Regular")));
	}
}

TEST_F(HCCharacterEditorWidgetTest, ASecondConstructionAddsNothing)
{
	Config->segmentations = {Segmentation(TEXT("Head"), {TEXT("Face")}, {Constraint(TEXT("Nose"), 1)})};
	Skin->components = {SkinComponent({TEXT("Face")}, {Picker(TEXT("Lips"))})};
	UHCTestCharacterEditorWidget* Editor = Construct();
	const TArray<FString> Built = Describe(*Editor);
	Editor->ConstructAgain();
	EXPECT_EQ(Describe(*Editor), Built);
	EXPECT_EQ(Built.Num(), 3);
}

TEST_F(HCCharacterEditorWidgetTest, RowsThatCannotBeMadeAreLeftOutWithAnError)
{
	Config->segmentations = {Segmentation(TEXT("Head"), {TEXT("Face")}, {Constraint(TEXT("Nose"), 1), Constraint(TEXT("Belly"), 4)})};
	Skin->components = {SkinComponent({TEXT("Face")}, {Picker(TEXT("Scar"), {}, TEXT("ColorPickerElement")), Picker(TEXT("Lips"))})};
	FLogCapture Log;
	// No 1-D slider class, and a 2-D class that is no 2-D slider.
	UHCTestCharacterEditorWidget* Editor = Construct(UHCTestCharacterEditorWidget::StaticClass(), nullptr, UHCTestPolygonSlider::StaticClass());
	EXPECT_EQ(Describe(*Editor), (TArray<FString>{TEXT("[Head]"), TEXT("Belly: HCTestPolygonSlider")}));
	const TArray<FString> Errors = Log.GetMessages(ELogVerbosity::Error);
	EXPECT_EQ(Errors.Num(), 5) << "three rows, each with the error of the creation that failed";
	EXPECT_TRUE(Log.Contains(TEXT("UHCCharacterEditorExpandableArea::CreateSlider: no HCCharacterEditor1DSlider could be made for \"Nose\"; it gets no row")));
	EXPECT_TRUE(Log.Contains(
		TEXT("UHCCharacterEditorExpandableArea::AddSkinCompositingHandler: handler \"Scar\" is of type \"ColorPickerElement\", not \"PixelPickerElement\"; it gets no row")));
	EXPECT_TRUE(Log.Contains(TEXT("UHCCharacterEditorExpandableArea::CreateSlider: no HCCharacterEditor2DSlider could be made for \"Lips\"; it gets no row")));
	for (const FLogCapture::FEntry& Entry : Log.GetEntries())
	{
		if (Entry.Verbosity == ELogVerbosity::Error && Entry.Message.Contains(TEXT("gets no row")))
		{
			EXPECT_EQ(Entry.Category, FName(TEXT("LogTemp")));
		}
	}
}

TEST_F(HCCharacterEditorWidgetTest, BrokenLayoutsAndConfigurationsFailTheirChecks)
{
	const auto CheckText = [this](auto&& Run) -> std::string
	{
		try
		{
			Run();
		}
		catch (const FCheckFailure& Failure)
		{
			return Failure.GetExpression() + " | " + Failure.GetMessage();
		}
		return "no check failed";
	};
	EXPECT_EQ(CheckText([this] { Construct(UHCTestEditorWithoutList::StaticClass()); }), "SettingsList != nullptr | SettingsList must be initialized.");

	Config->segmentations = {Segmentation(TEXT("Head"), {TEXT("Face")}, {}), Segmentation(TEXT("Skin"), {TEXT("Body")}, {})};
	Skin->components = {SkinComponent({TEXT("Face"), TEXT("Body")}, {Picker(TEXT("Tone"))})};
	EXPECT_EQ(CheckText([this] { Construct(); }), "segmentations.Num() == 1 | ");

	Config->segmentations = {Segmentation(TEXT("Head"), {}, {Constraint(TEXT("Nothing"), 0)})};
	EXPECT_EQ(CheckText([this] { Construct(); }), "ShapeConstraints.shapes.Num() > 0 | ");

	FHCCharacterEditorSkinCompositionHandler TwoImages = Picker(TEXT("Tone"));
	TwoImages.textureParams.Add(nullptr);
	Config->segmentations = {Segmentation(TEXT("Skin"), {TEXT("Body")}, {})};
	Skin->components = {SkinComponent({TEXT("Body")}, {TwoImages})};
	EXPECT_EQ(CheckText([this] { Construct(); }), "Handler.textureParams.Num() == 1 | ");
}

TEST_F(HCCharacterEditorWidgetTest, BoneShapingRowsTakeTheConstraintsRange)
{
	UHCCharacterEditorExpandableArea* Area = NewObject<UHCCharacterEditorExpandableArea>(World);
	Area->Slider1DClass = UHCTest1DSlider::StaticClass();
	Area->Initialize(TEXT("Bones"));
	FHCCharacterEditorSegmentation Bones = Segmentation(TEXT("Bones"), {}, {});
	FHCTransformConstraint Height;
	Height.displayName = TEXT("Height");
	Height.range.defaultValue = 0.5f;
	Height.range.minValue = -2.0f;
	Height.range.maxValue = 3.0f;
	Height.range.standardDeviation = 0.25f;
	Area->AddBoneShapingSlider(Bones, Height);
	EXPECT_EQ(HCCharacterEditorTest::Events(), TArray<FString>{TEXT("SetRange 0.5 -2 3 0.25 (kind 0)")});
	const UHorizontalBox* Row = Cast<UHorizontalBox>(Cast<UPanelWidget>(Area->GetContentForSlot(FName(TEXT("Body"))))->GetChildAt(0));
	const UHCCharacterEditor1DSlider* Slider = Cast<UHCCharacterEditor1DSlider>(Row->GetChildAt(1));
	EXPECT_EQ(Slider->TransformConstraint, &Height);
	EXPECT_EQ(Slider->Segmentation, &Bones);
	EXPECT_EQ(Slider->Controller, nullptr);
	EXPECT_NO_THROW(const_cast<UHCCharacterEditor1DSlider*>(Slider)->OnChanged(0.7f)) << "a bone-shaping slider does nothing";
}
