#include "Fonts/FontMeasure.h"
#include "Layout/Geometry.h"
#include "Rendering/DrawElements.h"

#include <gtest/gtest.h>

TEST(FontMeasureTest, MeasuresTheLongestLineAndEveryLineInTheFixedWidthModel)
{
	const FSlateFontInfo Font(10.0f, FName(TEXT("Regular")));
	EXPECT_EQ(FSlateFontMeasure::Measure(TEXT("Skin"), Font), FVector2f(24.0f, 12.0f));
	EXPECT_EQ(FSlateFontMeasure::Measure(TEXT("ab\nabcde\n"), Font), FVector2f(30.0f, 36.0f)) << "three lines, the longest of five characters";
	EXPECT_EQ(FSlateFontMeasure::Measure(TEXT(""), Font), FVector2f(0.0f, 12.0f)) << "an empty text is one empty line";
	EXPECT_EQ(FSlateFontMeasure::Measure(TEXT("\xC3\xA9t\xC3\xA9"), Font).X, 18.0f) << "a character of several UTF-8 bytes is one character";
}

TEST(GeometryTest, ChildBoxesAddTheirOffsetsInWindowPixelsAtTheRootScale)
{
	const FGeometry Root = FGeometry::MakeRoot(FVector2f(800.0f, 600.0f), 1.5f);
	EXPECT_EQ(Root.GetAbsoluteSize(), FVector2D(1200.0, 900.0));
	const FGeometry Child = Root.MakeChild(FVector2f(10.0f, 20.0f), FVector2f(100.0f, 50.0f));
	const FGeometry Grandchild = Child.MakeChild(FVector2f(2.0f, 4.0f), FVector2f(6.0f, 8.0f));
	EXPECT_EQ(Child.GetLocalSize(), FVector2D(100.0, 50.0));
	EXPECT_EQ(Grandchild.GetAbsolutePosition(), FVector2D(18.0, 36.0));
	EXPECT_EQ(Grandchild.GetAbsoluteSize(), FVector2D(9.0, 12.0));
	const FPaintGeometry Paint = Grandchild.ToPaintGeometry();
	EXPECT_EQ(Paint.LocalToWindow(FVector2f(6.0f, 8.0f)), FVector2f(27.0f, 48.0f)) << "the box's far corner";
	EXPECT_EQ(FGeometry().GetLocalSize(), FVector2D(0.0, 0.0)) << "never laid out";
}

TEST(DrawElementsTest, LinesAreRecordedAsGivenAndSinglePointsAreNot)
{
	FSlateWindowElementList Elements;
	const FPaintGeometry Where(FVector2f(5.0f, 5.0f), FVector2f(20.0f, 20.0f), 2.0f);
	FSlateDrawElement::MakeLines(Elements, 3, Where, {FVector2f(0.0f, 0.0f), FVector2f(1.0f, 2.0f), FVector2f(3.0f, 4.0f)}, ESlateDrawEffect::None,
		FLinearColor::Red, false, 0.6f);
	FSlateDrawElement::MakeLines(Elements, 4, Where, {FVector2f(1.0f, 1.0f)});
	ASSERT_EQ(Elements.GetDrawElements().Num(), 1);
	const FSlateDrawElement& Line = Elements.GetDrawElements()[0];
	EXPECT_EQ(Line.GetElementType(), FSlateDrawElement::EElementType::ET_Line);
	EXPECT_EQ(Line.GetLayer(), 3u);
	EXPECT_EQ(Line.GetPoints().Num(), 3);
	EXPECT_EQ(Line.GetPoints()[2], FVector2f(3.0f, 4.0f));
	EXPECT_EQ(Line.GetTint(), FLinearColor::Red);
	EXPECT_FALSE(Line.IsAntialiased());
	EXPECT_FLOAT_EQ(Line.GetThickness(), 0.6f);
	EXPECT_EQ(Line.GetPaintGeometry().LocalToWindow(Line.GetPoints()[1]), FVector2f(7.0f, 9.0f));
}
