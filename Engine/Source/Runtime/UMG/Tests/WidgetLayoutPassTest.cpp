#include "Components/ExpandableArea.h"
#include "Components/HorizontalBox.h"
#include "Components/HorizontalBoxSlot.h"
#include "Components/SizeBox.h"
#include "Components/TextBlock.h"
#include "Components/VerticalBox.h"
#include "Components/VerticalBoxSlot.h"
#include "Fonts/FontMeasure.h"

#include <gtest/gtest.h>

namespace
{
	USizeBox* MakeBox(float Width, float Height)
	{
		USizeBox* Box = NewObject<USizeBox>();
		Box->SetWidthOverride(Width);
		Box->SetHeightOverride(Height);
		return Box;
	}

	void LayOut(UWidget& Root, FVector2f Size)
	{
		Root.Prepass();
		Root.Arrange(FGeometry::MakeRoot(Size, 1.0f));
	}

	/** Offset from the root's corner and size, in layout units at scale 1. */
	TPair<FVector2D, FVector2D> Box(const UWidget& Widget)
	{
		return {Widget.GetCachedGeometry().GetAbsolutePosition(), Widget.GetCachedGeometry().GetLocalSize()};
	}
}

TEST(WidgetLayoutPassTest, FillChildrenShareWhatPaddingAndAutomaticChildrenLeaveByTheirValues)
{
	// An editor row: a left-aligned label with fill 0.5 and a slider with fill 1, each padded 5.
	UHorizontalBox* Row = NewObject<UHorizontalBox>();
	UTextBlock* Label = NewObject<UTextBlock>();
	Label->SetText(FText::FromString(TEXT("Nose")));
	UHorizontalBoxSlot* LabelSlot = Row->AddChildToHorizontalBox(Label);
	LabelSlot->SetPadding(FMargin(5.0f));
	LabelSlot->SetHorizontalAlignment(HAlign_Left);
	FSlateChildSize Half;
	Half.Value = 0.5f;
	LabelSlot->SetSize(Half);
	USizeBox* Slider = MakeBox(40.0f, 30.0f);
	UHorizontalBoxSlot* SliderSlot = Row->AddChildToHorizontalBox(Slider);
	SliderSlot->SetPadding(FMargin(5.0f));
	SliderSlot->SetSize(FSlateChildSize(ESlateSizeRule::Fill));

	LayOut(*Row, FVector2f(320.0f, 100.0f));
	const FVector2f LabelText = FSlateFontMeasure::Measure(TEXT("Nose"), Label->GetFont());
	EXPECT_EQ(Row->GetDesiredSize(), FVector2D(LabelText.X + 10.0f + 50.0f, FMath::Max(LabelText.Y, 30.0f) + 10.0f));
	// 300 units of fill space: a third for the label's slot, two thirds for the slider's.
	EXPECT_EQ(Box(*Label), (TPair<FVector2D, FVector2D>{FVector2D(5.0, 5.0), FVector2D(LabelText.X, 90.0)})) << "left-aligned: its own width";
	EXPECT_EQ(Box(*Slider), (TPair<FVector2D, FVector2D>{FVector2D(115.0, 5.0), FVector2D(200.0, 90.0)}));
}

TEST(WidgetLayoutPassTest, AutomaticChildrenStackAtTheirDesiredLengthsAndAlignAcross)
{
	UVerticalBox* Column = NewObject<UVerticalBox>();
	USizeBox* Top = MakeBox(50.0f, 20.0f);
	USizeBox* Middle = MakeBox(50.0f, 30.0f);
	USizeBox* Bottom = MakeBox(50.0f, 10.0f);
	Column->AddChildToVerticalBox(Top);
	UVerticalBoxSlot* MiddleSlot = Column->AddChildToVerticalBox(Middle);
	MiddleSlot->SetHorizontalAlignment(HAlign_Right);
	MiddleSlot->SetPadding(FMargin(2.0f, 4.0f));
	Column->AddChildToVerticalBox(Bottom)->SetHorizontalAlignment(HAlign_Center);
	EXPECT_EQ(Column->GetChildrenCount(), 3);
	EXPECT_EQ(Column->GetChildAt(1), Middle);
	EXPECT_EQ(Column->GetChildAt(3), nullptr);

	LayOut(*Column, FVector2f(200.0f, 500.0f));
	EXPECT_EQ(Column->GetDesiredSize(), FVector2D(54.0, 68.0));
	EXPECT_EQ(Box(*Top), (TPair<FVector2D, FVector2D>{FVector2D(0.0, 0.0), FVector2D(200.0, 20.0)})) << "fill across by default";
	EXPECT_EQ(Box(*Middle), (TPair<FVector2D, FVector2D>{FVector2D(148.0, 24.0), FVector2D(50.0, 30.0)}));
	EXPECT_EQ(Box(*Bottom), (TPair<FVector2D, FVector2D>{FVector2D(75.0, 58.0), FVector2D(50.0, 10.0)}));
}

TEST(WidgetLayoutPassTest, PanelsMoveChildrenAndContentWidgetsHoldOne)
{
	UVerticalBox* First = NewObject<UVerticalBox>();
	UVerticalBox* Second = NewObject<UVerticalBox>();
	UTextBlock* Text = NewObject<UTextBlock>();
	First->AddChild(Text);
	ASSERT_NE(Second->AddChild(Text), nullptr);
	EXPECT_EQ(First->GetChildrenCount(), 0) << "a widget has one parent";
	EXPECT_EQ(Text->GetParent(), Second);
	EXPECT_EQ(First->AddChild(nullptr), nullptr);

	USizeBox* Box = NewObject<USizeBox>();
	Box->AddChild(NewObject<UTextBlock>());
	EXPECT_EQ(Box->AddChild(NewObject<UTextBlock>()), nullptr) << "one child only";
	Box->SetContent(Text);
	EXPECT_EQ(Box->GetContent(), Text);
	EXPECT_EQ(Box->GetChildrenCount(), 1);
	Box->SetHeightOverride(40.0f);
	LayOut(*Box, FVector2f(300.0f, 200.0f));
	EXPECT_EQ(Box->GetDesiredSize(), FVector2D(Text->GetDesiredSize().X, 40.0)) << "the width follows the content";
}

TEST(WidgetLayoutPassTest, TextBlocksMeasureTheirTextInACopyOfTheirFont)
{
	UTextBlock* Text = NewObject<UTextBlock>();
	Text->SetText(FText::FromString(TEXT("Skin tone")));
	FSlateFontInfo Font = Text->GetFont();
	EXPECT_EQ(Font.Size, 24.0f);
	Font.Size = 12.0f;
	Font.TypefaceFontName = FName(TEXT("Regular"));
	EXPECT_EQ(Text->GetFont().Size, 24.0f) << "GetFont hands out a copy";
	Text->SetFont(Font);
	Text->Prepass();
	EXPECT_EQ(Text->GetDesiredSize(), FVector2D(FSlateFontMeasure::Measure(TEXT("Skin tone"), Font)));
	EXPECT_EQ(Text->GetFont().TypefaceFontName, FName(TEXT("Regular")));
}

TEST(WidgetLayoutPassTest, AFoldedAreaShowsItsHeaderAndGivesItsBodyNoSpace)
{
	UExpandableArea* Area = NewObject<UExpandableArea>();
	USizeBox* Header = MakeBox(80.0f, 24.0f);
	USizeBox* Body = MakeBox(120.0f, 60.0f);
	Area->SetContentForSlot(FName(TEXT("header")), Header);
	Area->SetContentForSlot(FName(TEXT("Body")), Body);
	Area->SetContentForSlot(FName(TEXT("Footer")), MakeBox(1.0f, 1.0f));
	EXPECT_EQ(Area->GetContentForSlot(FName(TEXT("Header"))), Header) << "slot names ignore letter case";
	EXPECT_EQ(Area->GetContentForSlot(FName(TEXT("Footer"))), nullptr);
	EXPECT_FALSE(Area->GetIsExpanded());

	LayOut(*Area, FVector2f(300.0f, 400.0f));
	EXPECT_EQ(Area->GetDesiredSize(), FVector2D(80.0, 24.0));
	EXPECT_EQ(Box(*Body).Value, FVector2D(0.0, 0.0));

	Area->SetIsExpanded(true);
	LayOut(*Area, FVector2f(300.0f, 84.0f));
	EXPECT_EQ(Area->GetDesiredSize(), FVector2D(120.0, 84.0));
	EXPECT_EQ(Box(*Header), (TPair<FVector2D, FVector2D>{FVector2D(0.0, 0.0), FVector2D(300.0, 24.0)}));
	EXPECT_EQ(Box(*Body), (TPair<FVector2D, FVector2D>{FVector2D(0.0, 24.0), FVector2D(300.0, 60.0)}));
}
