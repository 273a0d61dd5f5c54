#include "Views/HCCharacterEditorSliders.h"

#include "Components/SizeBox.h"
#include "Controllers/HCMorphShapingController.h"
#include "Controllers/HCTextureEditingController.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "Rendering/DrawElements.h"

#include <cfloat>
#include <cmath>

namespace
{
	/** The binding kind of sliders bound to a shape constraint or a skin-composition handler. */
	constexpr int32 BoundToRecord = 1;

	int32 NextCorner(int32 Corner, int32 Corners)
	{
		return Corner < Corners - 1 ? Corner + 1 : 0;
	}
}

void UHCCharacterEditor1DSlider::OnChanged(float v)
{
	if (BindingKind != BoundToRecord)
	{
		return;
	}
	if (ShapeConstraints->shapes.Num() == 1)
	{
		Controller->UpdateModel(ShapeConstraints, 0, v, -1, 0.0f);
		return;
	}
	// Below 0 the first shape takes the value's size, above 0 the second.
	const float First = FMath::Max(-v, 0.0f);
	const float Second = FMath::Max(v, 0.0f);
	UE_LOG(LogTemp, Warning, TEXT("v0: %f, v1: %f"), double(First), double(Second));
	Controller->UpdateModel(ShapeConstraints, 0, First, 1, Second);
}

void UHCCharacterEditor2DSlider::OnChanged(FVector2f v)
{
	if (BindingKind == BoundToRecord)
	{
		Controller->UpdateModel(Segmentation, Handler, v);
	}
}

void UHCCharacterEditor2DSlider::NativeTick(const FGeometry& MyGeometry, float InDeltaTime)
{
	Super::NativeTick(MyGeometry, InDeltaTime);
	if (bPickerPositionInitialized)
	{
		return;
	}
	if (BindingKind != BoundToRecord || Handler->floatParams.Num() != 2)
	{
		bPickerPositionInitialized = true;
		return;
	}
	const FVector2D Size = GetCachedGeometry().GetLocalSize();
	if (!(Size.Size() > 0.0))
	{
		return;
	}
	checkf(Target != nullptr, TEXT("The blueprint of %s has no Target size box"), *GetName());
	const FVector2D TargetSize = Target->GetCachedGeometry().GetLocalSize();
	const int32 X = FMath::TruncToInt32(Handler->floatParams[0] * 0.5 * Size.X);
	const int32 Y = FMath::TruncToInt32(Handler->floatParams[1] * 0.5 * Size.Y + TargetSize.Y * 0.5);
	SetPickerPosition(X, Y);
	bPickerPositionInitialized = true;
}

void UHCCharacterEditorPolygonSlider::OnChanged(FVector2f v)
{
	CurrentValue = FVector2D(v);
	int32 Triangle = 0;
	float CentreWeight = 0.0f;
	float FirstWeight = 0.0f;
	float SecondWeight = 0.0f;
	if (GetTriangleUnderValue(v, Triangle, CentreWeight, FirstWeight, SecondWeight))
	{
		UE_LOG(LogTemp, Warning, TEXT("i: %d, u: %f, v: %f, w: %f"), Triangle, double(CentreWeight), double(FirstWeight), double(SecondWeight));
		Controller->UpdateModel(ShapeConstraints, Triangle, FirstWeight, NextCorner(Triangle, Vertices.Num()), SecondWeight);
	}
}

FVector2f UHCCharacterEditorPolygonSlider::AdjustValue(FVector2f v) const
{
	return v;
}

FVector2f UHCCharacterEditorPolygonSlider::GetSelectionPosition() const
{
	const FVector2f Size(GetTickSpaceGeometry().GetLocalSize());
	return FVector2f(Size.X * 0.5f * float(CurrentValue.X), Size.Y * 0.5f * float(CurrentValue.Y));
}

void UHCCharacterEditorPolygonSlider::SetSides(int32 Sides)
{
	check(Sides >= 3);
	Vertices.Empty();
	// Float angles: corner 0 lies a hair off the vertical axis, as the cosine of the float
	// right angle is not exactly 0.
	const float Step = (1.0f / float(Sides)) * 6.2831855f;
	double MinX = FLT_MAX;
	double MaxX = -FLT_MAX;
	double MinY = FLT_MAX;
	double MaxY = -FLT_MAX;
	for (int32 Corner = 0; Corner < Sides; ++Corner)
	{
		const float Angle = float(Corner) * Step - 1.5707964f;
		const FVector2D Point(std::cos(Angle), std::sin(Angle));
		Vertices.Add(Point);
		MinX = FMath::Min(MinX, Point.X);
		MaxX = FMath::Max(MaxX, Point.X);
		MinY = FMath::Min(MinY, Point.Y);
		MaxY = FMath::Max(MaxY, Point.Y);
	}
	const FVector2D Middle((MaxX + MinX) * 0.5, (MaxY + MinY) * 0.5);
	Center = FVector2D(-Middle.X, -Middle.Y);
	for (FVector2D& Point : Vertices)
	{
		Point = FVector2D((Point.X - Middle.X) * (2.0 / (MaxX - MinX)), (Point.Y - Middle.Y) * (2.0 / (MaxY - MinY)));
	}
	CurrentValue = Center;
}

bool UHCCharacterEditorPolygonSlider::GetTriangleUnderValue(FVector2f value, int32& index, float& u, float& v, float& w) const
{
	check(Vertices.Num() >= 3);
	const FVector2f Size(GetTickSpaceGeometry().GetLocalSize());
	const FVector2f Half = Size * 0.5f;
	const FVector2f Point(FMath::Max(FMath::Min(Half.X * value.X + Half.X, Size.X), 0.0f), FMath::Max(FMath::Min(Half.Y * value.Y + Half.Y, Size.Y), 0.0f));
	const FVector2f A = Half * FVector2f(Center) + Half;
	for (int32 Corner = 0; Corner < Vertices.Num(); ++Corner)
	{
		const FVector2f B = Half * FVector2f(Vertices[Corner]) + Half;
		const FVector2f C = Half * FVector2f(Vertices[NextCorner(Corner, Vertices.Num())]) + Half;
		const FVector2f E0 = B - A;
		const FVector2f E1 = C - A;
		const FVector2f E2 = Point - A;
		const float D00 = FVector2f::DotProduct(E0, E0);
		const float D01 = FVector2f::DotProduct(E1, E0);
		const float D11 = FVector2f::DotProduct(E1, E1);
		const float D20 = FVector2f::DotProduct(E2, E0);
		const float D21 = FVector2f::DotProduct(E2, E1);
		const float Inverse = 1.0f / (D11 * D00 - D01 * D01);
		const float CornerWeight = (D20 * D11 - D21 * D01) * Inverse;
		const float NextWeight = (D21 * D00 - D20 * D01) * Inverse;
		const float CentreWeight = 1.0f - CornerWeight - NextWeight;
		// Not laid out yet, every triangle is a point and the weights are not numbers: no triangle.
		if (FMath::Min(CentreWeight, FMath::Min(CornerWeight, NextWeight)) > 0.0f)
		{
			index = Corner;
			u = CentreWeight;
			v = CornerWeight;
			w = NextWeight;
			return true;
		}
	}
	return false;
}

int32 UHCCharacterEditorPolygonSlider::NativePaint(const FPaintArgs& Args, const FGeometry& AllottedGeometry, const FSlateRect& MyCullingRect,
	FSlateWindowElementList& OutDrawElements, int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const
{
	if (Vertices.Num() < 2)
	{
		return LayerId;
	}
	const FVector2D Half = AllottedGeometry.GetLocalSize() * 0.5;
	const auto ToLocal = [&Half](const FVector2D& Point) { return FVector2f(Half * Point + Half); };
	const FPaintGeometry PaintGeometry = AllottedGeometry.ToPaintGeometry();

	TArray<FVector2f> Outline;
	for (const FVector2D& Corner : Vertices)
	{
		Outline.Add(ToLocal(Corner));
	}
	Outline.Add(ToLocal(Vertices[0]));
	FSlateDrawElement::MakeLines(OutDrawElements, LayerId, PaintGeometry, Outline, ESlateDrawEffect::None, FLinearColor::Red, true, LineThickness);

	const float SpokeThickness = LineThickness * 0.3f;
	for (const FVector2D& Spoke : {CurrentValue, Center})
	{
		for (const FVector2D& Corner : Vertices)
		{
			FSlateDrawElement::MakeLines(OutDrawElements, LayerId, PaintGeometry, {ToLocal(Corner), ToLocal(Spoke)}, ESlateDrawEffect::None,
				FLinearColor::Red, true, SpokeThickness);
		}
	}
	return LayerId + 1;
}
