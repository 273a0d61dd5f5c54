#pragma once

// User widgets standing in for widget blueprints in the tests: one written in C++ (a tree of
// its own, events it implements), one that gets its layout and event handling registered as
// data.

#include "Blueprint/UserWidget.h"
#include "Components/SizeBox.h"
#include "Components/VerticalBox.h"
#include "CoreMinimal.h"

#include "UMGTestWidgets.generated.h"

/** Records its life in Events; a tree of a vertical box "SettingsList" holding a 100 × 50 size box "Target". */
UCLASS()
class UTestNativeWidget : public UUserWidget
{
	GENERATED_BODY()

public:
	bool Initialize() override;

	UFUNCTION(BlueprintImplementableEvent, Category = "Test")
	void SetPickerPosition(int32 x, int32 y);

	UPROPERTY(meta = (BindWidget))
	TObjectPtr<UVerticalBox> SettingsList = nullptr;

	UPROPERTY(meta = (BindWidget))
	TObjectPtr<USizeBox> Target = nullptr;

	TArray<FString> Events;
	/** The layer NativePaint was given. */
	mutable int32 PaintedLayer = -1;

protected:
	void NativeOnInitialized() override { Events.Add(TEXT("Initialized")); }
	void NativeConstruct() override { Events.Add(TEXT("Construct")); }
	void NativeTick(const FGeometry& MyGeometry, float InDeltaTime) override;
	int32 NativePaint(const FPaintArgs& Args, const FGeometry& AllottedGeometry, const FSlateRect& MyCullingRect,
		FSlateWindowElementList& OutDrawElements, int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const override;
};

/** Implements the picker event as a blueprint would. */
UCLASS()
class UTestImplementingWidget : public UTestNativeWidget
{
	GENERATED_BODY()

public:
	UFUNCTION()
	void SetPickerPosition(int32 x, int32 y);
};

/** No tree of its own: a registered layout gives it one. */
UCLASS()
class UTestLayoutWidget : public UUserWidget
{
	GENERATED_BODY()

public:
	UFUNCTION(BlueprintImplementableEvent, Category = "Test")
	void SetPickerPosition(int32 x, int32 y);

	UPROPERTY(meta = (BindWidget))
	TObjectPtr<UVerticalBox> SettingsList = nullptr;
};

UCLASS(Abstract)
class UTestAbstractWidget : public UUserWidget
{
	GENERATED_BODY()
};
