// The three sliders: the weights a 1-D and a polygon slider give the morph model, the polygon's
// corners, triangles and drawing, and when a colour picker places its marker.

#include "Controllers/HCMorphShapingController.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "HCCharacterEditorTestWidgets.h"
#include "HCEditableComponentTestSupport.h"
#include "Logging/LogCapture.h"
#include "Rendering/DrawElements.h"

#include <gtest/gtest.h>

namespace
{
	void LayOut(UWidget& Widget, FVector2f Size)
	{
		Widget.Prepass();
		Widget.Arrange(FGeometry::MakeRoot(Size, 1.0f));
	}

	void ExpectNear(FVector2D Actual, FVector2D Expected)
	{
		EXPECT_NEAR(Actual.X, Expected.X, 1e-6) << "x";
		EXPECT_NEAR(Actual.Y, Expected.Y, 1e-6) << "y";
	}
}

/** Sliders bound to a character that is being edited, with shapes A, B, C, D, E and F. */
class HCCharacterEditorSlidersTest : public HCEditableComponentWorldTest
{
protected:
	void SetUp() override
	{
		HCEditableComponentWorldTest::SetUp();
		HCCharacterEditorTest::Events().Empty();
		Config = NewObject<UHCCharacterEditorConfigData>();
		FHCCharacterEditorSegmentation& Body = Config->segmentations.Emplace_GetRef();
		Body.displayName = TEXT("Body");
		Body.shapeConstraints = {HCMorphShapingTest::MakeConstraint(TEXT("One"), {TEXT("A")}),
			HCMorphShapingTest::MakeConstraint(TEXT("Two"), {TEXT("A"), TEXT("B")}),
			HCMorphShapingTest::MakeConstraint(TEXT("Four"), {TEXT("C"), TEXT("D"), TEXT("E"), TEXT("F")})};
		Component = Spawn(HCEditableComponentTest::MakeMesh(4, {}, {TEXT("A"), TEXT("B"), TEXT("C"), TEXT("D"), TEXT("E"), TEXT("F")}), Config,
			NewObject<UHCCharacterEditorSkinCompositionData>());
		Component->BeginEditing();
	}

	void TearDown() override
	{
		HCCharacterEditorTest::Events().Empty();
		HCEditableComponentWorldTest::TearDown();
	}

	const FHCShapeConstraints& Shapes(int32 Index) const { return Config->segmentations[0].shapeConstraints[Index]; }

	UHCCharacterEditor1DSlider* Make1D(int32 Constraint)
	{
		UHCCharacterEditor1DSlider* Slider = CreateWidget<UHCCharacterEditor1DSlider>(World, UHCTest1DSlider::StaticClass());
		Slider->BindingKind = 1;
		Slider->ShapeConstraints = &Shapes(Constraint);
		Slider->Controller = Component->getMorphShapingController();
		return Slider;
	}

	/** A polygon of Sides corners over the four-shape constraint, laid out over Size. */
	UHCTestPolygonSlider* MakePolygon(int32 Sides, FVector2f Size = FVector2f(200.0f, 200.0f))
	{
		UHCTestPolygonSlider* Slider = CreateWidget<UHCTestPolygonSlider>(World, UHCTestPolygonSlider::StaticClass());
		Slider->SetSides(Sides);
		Slider->ShapeConstraints = &Shapes(2);
		Slider->Controller = Component->getMorphShapingController();
		LayOut(*Slider, Size);
		return Slider;
	}

	TArray<FString> Weights() const { return HCMorphShapingTest::Weights(Component->getMorphShapingModel()); }

	UHCCharacterEditorConfigData* Config = nullptr;
	UHCRecordingEditableComponent* Component = nullptr;
};

TEST_F(HCCharacterEditorSlidersTest, OneDimensionalSlidersWeighOneShapeOrSplitTwoAtZero)
{
	FLogCapture Log;
	Make1D(0)->OnChanged(0.4f);
	EXPECT_EQ(Weights(), (TArray<FString>{TEXT("A=0.4"), TEXT("B=0"), TEXT("C=0"), TEXT("D=0"), TEXT("E=0"), TEXT("F=0")}));
	EXPECT_TRUE(Log.GetMessages(ELogVerbosity::Warning).IsEmpty());

	UHCCharacterEditor1DSlider* Two = Make1D(1);
	Two->OnChanged(-0.75f);
	EXPECT_EQ(Weights()[0], TEXT("A=0.75"));
	Two->OnChanged(0.5f);
	EXPECT_EQ(Weights()[0], TEXT("A=0"));
	EXPECT_EQ(Weights()[1], TEXT("B=0.5"));
	Two->OnChanged(0.0f);
	EXPECT_EQ(Weights()[1], TEXT("B=0"));
	const TArray<FString> Warnings = Log.GetMessages(ELogVerbosity::Warning);
	ASSERT_EQ(Warnings.Num(), 3);
	EXPECT_EQ(Warnings[0], TEXT("v0: 0.750000, v1: 0.000000"));
	EXPECT_EQ(Warnings[1], TEXT("v0: 0.000000, v1: 0.500000"));
	EXPECT_TRUE(Warnings[2] == TEXT("v0: 0.000000, v1: 0.000000") || Warnings[2] == TEXT("v0: -0.000000, v1: 0.000000")) << *Warnings[2];
	EXPECT_EQ(Log.GetEntries()[0].Category, FName(TEXT("LogTemp")));

	const TArray<FString> Before = Weights();
	Two->BindingKind = 0;
	Two->OnChanged(-1.0f);
	EXPECT_EQ(Weights(), Before) << "bone-shaping sliders change nothing";
}

TEST_F(HCCharacterEditorSlidersTest, PolygonCornersFillTheBoxAndTheCentreStaysWhereTheCircleCentreIs)
{
	UHCTestPolygonSlider* Square = MakePolygon(4);
	ASSERT_EQ(Square->Vertices.Num(), 4);
	const FVector2D Corners[] = {FVector2D(0.0, -1.0), FVector2D(1.0, 0.0), FVector2D(0.0, 1.0), FVector2D(-1.0, 0.0)};
	for (int32 Index = 0; Index < 4; ++Index)
	{
		ExpectNear(Square->Vertices[Index], Corners[Index]);
	}
	ExpectNear(Square->Center, FVector2D(0.0, 0.0));

	UHCTestPolygonSlider* Triangle = MakePolygon(3);
	ExpectNear(Triangle->Vertices[0], FVector2D(0.0, -1.0));
	ExpectNear(Triangle->Vertices[1], FVector2D(1.0, 1.0));
	ExpectNear(Triangle->Vertices[2], FVector2D(-1.0, 1.0));
	ExpectNear(Triangle->Center, FVector2D(0.0, 0.25));
	EXPECT_EQ(Triangle->CurrentValue, Triangle->Center);
	Triangle->SetSides(6);
	EXPECT_EQ(Triangle->Vertices.Num(), 6) << "the corners are made anew";

	try
	{
		Triangle->SetSides(2);
		ADD_FAILURE() << "two sides make no polygon";
	}
	catch (const FCheckFailure& Failure)
	{
		EXPECT_EQ(Failure.GetExpression(), "Sides >= 3");
	}
}

TEST_F(HCCharacterEditorSlidersTest, APolygonPositionWeighsTheOuterCornersOfItsTriangle)
{
	UHCTestPolygonSlider* Slider = MakePolygon(4);
	FLogCapture Log;
	Slider->OnChanged(FVector2f(0.25f, -0.25f));
	EXPECT_EQ(Weights(), (TArray<FString>{TEXT("A=0"), TEXT("B=0"), TEXT("C=0.25"), TEXT("D=0.25"), TEXT("E=0"), TEXT("F=0")}));
	Slider->OnChanged(FVector2f(-0.3f, 0.2f));
	EXPECT_EQ(Weights(), (TArray<FString>{TEXT("A=0"), TEXT("B=0"), TEXT("C=0"), TEXT("D=0"), TEXT("E=0.2"), TEXT("F=0.3")}));
	EXPECT_EQ(Log.GetMessages(ELogVerbosity::Warning),
		(TArray<FString>{TEXT("i: 0, u: 0.500000, v: 0.250000, w: 0.250000"), TEXT("i: 2, u: 0.500000, v: 0.200000, w: 0.300000")}));

	// The centre and the box's corner outside the polygon are in no triangle: weights stay.
	Log.Clear();
	for (const FVector2f Outside : {FVector2f(0.0f, 0.0f), FVector2f(50.0f, -40.0f)})
	{
		Slider->OnChanged(Outside);
		EXPECT_EQ(Slider->CurrentValue, FVector2D(Outside)) << "the selection moves anyway";
	}
	EXPECT_EQ(Weights()[4], TEXT("E=0.2"));
	EXPECT_TRUE(Log.GetMessages(ELogVerbosity::Warning).IsEmpty());
	EXPECT_EQ(Slider->GetSelectionPosition(), FVector2f(5000.0f, -4000.0f)) << "100 units per unit of the last value";
	EXPECT_EQ(Slider->AdjustValue(FVector2f(7.0f, -3.0f)), FVector2f(7.0f, -3.0f));

	UHCTestPolygonSlider* NotLaidOut = MakePolygon(4, FVector2f(0.0f, 0.0f));
	NotLaidOut->OnChanged(FVector2f(0.25f, -0.25f));
	EXPECT_EQ(Weights()[2], TEXT("C=0")) << "a slider with no size has no triangles";
}

TEST_F(HCCharacterEditorSlidersTest, APolygonDrawsItsOutlineAndSpokesToTheSelectionAndTheCentreOnTopOfItsContent)
{
	UHCTestPolygonSlider* Slider = MakePolygon(3, FVector2f(200.0f, 100.0f));
	Slider->OnChanged(FVector2f(0.5f, 0.5f));
	FSlateWindowElementList Elements;
	EXPECT_EQ(Slider->PaintTo(Elements, 4), 5);
	const TArray<FSlateDrawElement>& Lines = Elements.GetDrawElements();
	ASSERT_EQ(Lines.Num(), 7);
	const auto Local = [](double X, double Y) { return FVector2f(float(100.0 * X + 100.0), float(50.0 * Y + 50.0)); };
	EXPECT_EQ(Lines[0].GetPoints().Num(), 4) << "the outline closes on its first corner";
	EXPECT_EQ(Lines[0].GetPoints()[3], Lines[0].GetPoints()[0]);
	EXPECT_FLOAT_EQ(Lines[0].GetThickness(), 2.0f);
	for (int32 Corner = 0; Corner < 3; ++Corner)
	{
		EXPECT_EQ(Lines[1 + Corner].GetPoints()[1], Local(0.5, 0.5)) << "spoke to the selection";
		EXPECT_EQ(Lines[4 + Corner].GetPoints()[1], Local(Slider->Center.X, Slider->Center.Y)) << "spoke to the centre";
		EXPECT_EQ(Lines[4 + Corner].GetPoints()[0], Lines[0].GetPoints()[Corner]);
	}
	for (const FSlateDrawElement& Line : Lines)
	{
		EXPECT_EQ(Line.GetLayer(), 4u);
		EXPECT_EQ(Line.GetTint(), FLinearColor::Red);
		EXPECT_TRUE(Line.IsAntialiased());
		EXPECT_EQ(Line.GetDrawEffects(), ESlateDrawEffect::None);
	}
	EXPECT_FLOAT_EQ(Lines[6].GetThickness(), 0.6f);

	UHCTestPolygonSlider* Unset = CreateWidget<UHCTestPolygonSlider>(World, UHCTestPolygonSlider::StaticClass());
	FSlateWindowElementList Nothing;
	EXPECT_EQ(Unset->PaintTo(Nothing, 4), 4) << "no corners before SetSides";
	EXPECT_TRUE(Nothing.GetDrawElements().IsEmpty());
}

TEST_F(HCCharacterEditorSlidersTest, AColourPickerPlacesItsMarkerOnceAtTheFirstTickWithASize)
{
	FHCCharacterEditorSkinCompositionHandler Handler;
	Handler.floatParams = {0.5f, -0.5f};
	UHCTest2DSlider* Slider = CreateWidget<UHCTest2DSlider>(World, UHCTest2DSlider::StaticClass());
	Slider->BindingKind = 1;
	Slider->Handler = &Handler;
	Slider->Tick(0.1f);
	EXPECT_TRUE(HCCharacterEditorTest::Events().IsEmpty()) << "not laid out yet";
	EXPECT_FALSE(Slider->bPickerPositionInitialized);

	LayOut(*Slider, FVector2f(151.0f, 90.0f));
	EXPECT_EQ(Slider->GetTarget()->GetCachedGeometry().GetLocalSize().Y, 60.0);
	Slider->Tick(0.1f);
	Slider->Tick(0.1f);
	// x = trunc(0.5 × 0.5 × 151) = 37; y = trunc(-0.5 × 0.5 × 90 + 60 × 0.5) = 7.
	EXPECT_EQ(HCCharacterEditorTest::Events(), TArray<FString>{TEXT("SetPickerPosition 37 7")});
	EXPECT_TRUE(Slider->bPickerPositionInitialized);

	HCCharacterEditorTest::Events().Empty();
	Handler.floatParams = {0.5f, -0.5f, 1.0f};
	UHCTest2DSlider* ThreeValues = CreateWidget<UHCTest2DSlider>(World, UHCTest2DSlider::StaticClass());
	ThreeValues->BindingKind = 1;
	ThreeValues->Handler = &Handler;
	ThreeValues->Tick(0.1f);
	EXPECT_TRUE(ThreeValues->bPickerPositionInitialized) << "nothing to place";
	EXPECT_TRUE(HCCharacterEditorTest::Events().IsEmpty());
}
