#pragma once

// Drawing is recorded, not rasterised: a paint pass fills a window element list with draw
// elements that tests and programs read back.

#include "CoreMinimal.h"
#include "Layout/PaintGeometry.h"
#include "Misc/EnumClassFlags.h"

enum class ESlateDrawEffect : uint8
{
	None = 0,
	/** Drawn greyed out, as a disabled widget. */
	DisabledEffect = 1 << 0,
	/** The element's colour is taken as it is, not multiplied by the widget's tint. */
	NoGamma = 1 << 1,
};
ENUM_CLASS_FLAGS(ESlateDrawEffect)

class FSlateWindowElementList;

/** One recorded element. */
class SLATECORE_API FSlateDrawElement
{
public:
	enum class EElementType : uint8
	{
		ET_Line,
	};

	/**
	 * Records a polyline through Points, which are in the layout units of PaintGeometry's box,
	 * on layer InLayer of ElementList. Fewer than two points draw nothing and record nothing.
	 */
	static void MakeLines(FSlateWindowElementList& ElementList, uint32 InLayer, const FPaintGeometry& PaintGeometry, TArray<FVector2f> Points,
		ESlateDrawEffect InDrawEffects = ESlateDrawEffect::None, const FLinearColor& InTint = FLinearColor::White, bool bAntialias = true,
		float Thickness = 1.0f);

	EElementType GetElementType() const { return ElementType; }
	uint32 GetLayer() const { return Layer; }
	const FPaintGeometry& GetPaintGeometry() const { return PaintGeometry; }
	/** The points as given, in the paint geometry's layout units. */
	const TArray<FVector2f>& GetPoints() const { return Points; }
	ESlateDrawEffect GetDrawEffects() const { return DrawEffects; }
	const FLinearColor& GetTint() const { return Tint; }
	bool IsAntialiased() const { return bAntialias; }
	float GetThickness() const { return Thickness; }

private:
	EElementType ElementType = EElementType::ET_Line;
	uint32 Layer = 0;
	FPaintGeometry PaintGeometry;
	TArray<FVector2f> Points;
	ESlateDrawEffect DrawEffects = ESlateDrawEffect::None;
	FLinearColor Tint = FLinearColor::White;
	bool bAntialias = true;
	float Thickness = 1.0f;
};

/** The elements one paint pass of a window recorded, in the order they were made. */
class FSlateWindowElementList
{
public:
	const TArray<FSlateDrawElement>& GetDrawElements() const { return DrawElements; }
	void AddElement(FSlateDrawElement Element) { DrawElements.Add(std::move(Element)); }
	void ResetElementList() { DrawElements.Empty(); }

private:
	TArray<FSlateDrawElement> DrawElements;
};
