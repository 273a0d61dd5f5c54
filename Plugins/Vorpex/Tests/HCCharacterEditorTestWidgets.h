#pragma once

// Widget blueprints of the character editor written in C++ for the tests: an editor with its
// SettingsList, and sliders whose trees hold a Target size box and whose events are recorded.

#include "Components/SizeBox.h"
#include "Components/VerticalBox.h"
#include "CoreMinimal.h"
#include "Views/HCCharacterEditorSliders.h"
#include "Views/HCCharacterEditorWidget.h"

#include "HCCharacterEditorTestWidgets.generated.h"

namespace HCCharacterEditorTest
{
	/** The events every test slider received, in order, as "<widget name> <event> <arguments>". */
	TArray<FString>& Events();

	/** Gives Widget a tree of a vertical box holding a size box "Target" of Width × Height. */
	void BuildSliderTree(UUserWidget& Widget, float Width, float Height);
}

UCLASS()
class UHCTestCharacterEditorWidget : public UHCCharacterEditorWidget
{
	GENERATED_BODY()

public:
	bool Initialize() override;
	/** Constructs the editor again, as a widget taken out of the screen and put back would be. */
	void ConstructAgain() { NativeConstruct(); }
	void SetSliderClasses(UClass* OneD, UClass* TwoD, UClass* Polygon);
	UVerticalBox* GetSettingsList() const { return SettingsList; }
	const TMap<FString, TObjectPtr<UHCCharacterEditorExpandableArea>>& GetAreas() const { return ExpandableAreasMap; }
};

/** A layout that forgot the SettingsList. */
UCLASS()
class UHCTestEditorWithoutList : public UHCTestCharacterEditorWidget
{
	GENERATED_BODY()

public:
	bool Initialize() override;
};

UCLASS()
class UHCTest1DSlider : public UHCCharacterEditor1DSlider
{
	GENERATED_BODY()

public:
	bool Initialize() override;

	UFUNCTION()
	void SetRange(const FHCRange& range);
};

UCLASS()
class UHCTest2DSlider : public UHCCharacterEditor2DSlider
{
	GENERATED_BODY()

public:
	bool Initialize() override;
	void Tick(float DeltaTime) { NativeTick(GetTickSpaceGeometry(), DeltaTime); }
	USizeBox* GetTarget() const { return Target; }

	UFUNCTION()
	void SetBackgroundTexture(UTexture2D* BackgroundTexture);

	UFUNCTION()
	void SetPickerPosition(int32 x, int32 y);
};

UCLASS()
class UHCTestPolygonSlider : public UHCCharacterEditorPolygonSlider
{
	GENERATED_BODY()

public:
	bool Initialize() override;
	int32 PaintTo(FSlateWindowElementList& Elements, int32 LayerId) const;
};
