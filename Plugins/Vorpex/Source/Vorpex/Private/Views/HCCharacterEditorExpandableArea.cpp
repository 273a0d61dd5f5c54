#include "Views/HCCharacterEditorExpandableArea.h"

#include "Blueprint/UserWidget.h"
#include "Blueprint/WidgetLayoutLibrary.h"
#include "Components/HorizontalBox.h"
#include "Components/HorizontalBoxSlot.h"
#include "Components/TextBlock.h"
#include "Components/VerticalBox.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Views/HCCharacterEditorSliders.h"

namespace
{
	constexpr float TitleFontSize = 20.0f;
	constexpr float LabelFontSize = 12.0f;
	/** The binding kinds of sliders: bone shaping, or a shape constraint or skin-composition handler. */
	constexpr int32 BoundToBone = 0;
	constexpr int32 BoundToRecord = 1;
	const TCHAR* const PickerHandlerType = TEXT("PixelPickerElement");

	void PlaceInRow(UHorizontalBoxSlot* Slot, EHorizontalAlignment Alignment, float Share)
	{
		Slot->SetPadding(FMargin(5.0f));
		Slot->SetHorizontalAlignment(Alignment);
		FSlateChildSize Size(ESlateSizeRule::Fill);
		Size.Value = Share;
		Slot->SetSize(Size);
	}
}

void UHCCharacterEditorExpandableArea::Initialize(const FString& Title)
{
	SetContentForSlot(FName(TEXT("Header")), MakeText(Title, TitleFontSize));
	SetContentForSlot(FName(TEXT("Body")), NewObject<UVerticalBox>(this));
}

void UHCCharacterEditorExpandableArea::AddShapeConstraintsSlider(const FHCShapeConstraints& ShapeConstraints)
{
	UHorizontalBox* Row = MakeRow(ShapeConstraints.displayName);
	check(ShapeConstraints.shapes.Num() > 0);
	if (ShapeConstraints.shapes.Num() >= 3)
	{
		UHCCharacterEditorPolygonSlider* Slider = CreateSlider(PolygonSliderClass, ShapeConstraints.displayName);
		if (!Slider)
		{
			return;
		}
		Slider->SetSides(ShapeConstraints.shapes.Num());
		Slider->ShapeConstraints = &ShapeConstraints;
		Slider->Controller = MorphShapingController;
		FinishRow(Row, Slider);
		return;
	}
	UHCCharacterEditor1DSlider* Slider = CreateSlider(Slider1DClass, ShapeConstraints.displayName);
	if (!Slider)
	{
		return;
	}
	Slider->BindingKind = BoundToRecord;
	FHCRange Range;
	Range.minValue = ShapeConstraints.shapes.Num() == 1 ? 0.0f : -1.0f;
	Range.maxValue = 1.0f;
	Range.standardDeviation = 0.5f;
	Slider->SetRange(Range);
	Slider->ShapeConstraints = &ShapeConstraints;
	Slider->Controller = MorphShapingController;
	FinishRow(Row, Slider);
}

void UHCCharacterEditorExpandableArea::AddSkinCompositingHandler(
	const FHCCharacterEditorSegmentation& Segmentation, const FHCCharacterEditorSkinCompositionHandler& Handler)
{
	UHorizontalBox* Row = MakeRow(Handler.displayName);
	if (!Handler.type.Equals(PickerHandlerType, ESearchCase::CaseSensitive))
	{
		UE_LOG(LogTemp, Error, TEXT("%s: handler \"%s\" is of type \"%s\", not \"%s\"; it gets no row"),
			TEXT("UHCCharacterEditorExpandableArea::AddSkinCompositingHandler"), *Handler.displayName, *Handler.type, PickerHandlerType);
		return;
	}
	UHCCharacterEditor2DSlider* Slider = CreateSlider(Slider2DClass, Handler.displayName);
	if (!Slider)
	{
		return;
	}
	Slider->bPickerPositionInitialized = false;
	Slider->BindingKind = BoundToRecord;
	Slider->Segmentation = &Segmentation;
	Slider->Handler = &Handler;
	Slider->Controller = TextureEditingController;
	check(Handler.textureParams.Num() == 1);
	Slider->SetBackgroundTexture(Handler.textureParams[0]);
	FinishRow(Row, Slider);
}

void UHCCharacterEditorExpandableArea::AddBoneShapingSlider(
	const FHCCharacterEditorSegmentation& Segmentation, const FHCTransformConstraint& TransformConstraint)
{
	UHorizontalBox* Row = MakeRow(TransformConstraint.displayName);
	UHCCharacterEditor1DSlider* Slider = CreateSlider(Slider1DClass, TransformConstraint.displayName);
	if (!Slider)
	{
		return;
	}
	Slider->BindingKind = BoundToBone;
	Slider->Segmentation = &Segmentation;
	Slider->TransformConstraint = &TransformConstraint;
	Slider->SetRange(TransformConstraint.range);
	FinishRow(Row, Slider);
}

UVerticalBox* UHCCharacterEditorExpandableArea::GetBodyAsVerticalBox() const
{
	return Cast<UVerticalBox>(GetContentForSlot(FName(TEXT("Body"))));
}

UTextBlock* UHCCharacterEditorExpandableArea::MakeText(const FString& Text, float BaseSize)
{
	UTextBlock* Block = NewObject<UTextBlock>(this);
	Block->SetText(FText::FromString(Text));
	FSlateFontInfo Font = Block->GetFont();
	Font.Size = float(FMath::RoundToInt(BaseSize * UWidgetLayoutLibrary::GetViewportScale(this)));
	Font.TypefaceFontName = FName(TEXT("Regular"));
	Block->SetFont(Font);
	return Block;
}

UHorizontalBox* UHCCharacterEditorExpandableArea::MakeRow(const FString& Label)
{
	UHorizontalBox* Row = NewObject<UHorizontalBox>(this);
	PlaceInRow(Row->AddChildToHorizontalBox(MakeText(Label, LabelFontSize)), HAlign_Left, 0.5f);
	return Row;
}

void UHCCharacterEditorExpandableArea::FinishRow(UHorizontalBox* Row, UUserWidget* Slider)
{
	PlaceInRow(Row->AddChildToHorizontalBox(Slider), HAlign_Fill, 1.0f);
	GetBodyAsVerticalBox()->AddChildToVerticalBox(Row);
}

template <typename SliderType>
SliderType* UHCCharacterEditorExpandableArea::CreateSlider(TSubclassOf<SliderType> SliderClass, const FString& Label)
{
	SliderType* Slider = CreateWidget<SliderType>(GetWorld(), SliderClass.Get());
	if (!Slider)
	{
		UE_LOG(LogTemp, Error, TEXT("%s: no %s could be made for \"%s\"; it gets no row"), TEXT("UHCCharacterEditorExpandableArea::CreateSlider"),
			*SliderType::StaticClass()->GetName(), *Label);
	}
	return Slider;
}
