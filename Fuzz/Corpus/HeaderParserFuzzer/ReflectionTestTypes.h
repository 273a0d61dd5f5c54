#pragma once

#include "CoreMinimal.h"
#include "Templates/SubclassOf.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"
#include "UObject/SoftObjectPtr.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include "ReflectionTestTypes.generated.h"

UENUM(BlueprintType)
enum class ETestShade : uint8
{
	TS_Light UMETA(DisplayName = "Very Light"),
	TS_Medium = 4,
	TS_Dark,
};

USTRUCT(BlueprintType)
struct FTestLink
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere, Category = "Halcor")
	int32 count = 0;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<UObject> target = nullptr;
};

USTRUCT(BlueprintType)
struct FTestRecord
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString name;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor", meta = (ClampMin = "0", ClampMax = "1"))
	float weight = 0.0f;

	UPROPERTY(VisibleAnywhere, Category = "Halcor")
	TArray<FTestLink> links;

	UPROPERTY(VisibleAnywhere, Category = "Halcor")
	ETestShade shade = ETestShade::TS_Light;
};

UCLASS(BlueprintType)
class UTestObject : public UObject
{
	GENERATED_BODY()

public:
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	int32 Number = 0;

	UPROPERTY(Transient)
	TObjectPtr<UTestObject> Other = nullptr;

	UPROPERTY()
	TArray<TObjectPtr<UObject>> Objects;

	UPROPERTY()
	TMap<FString, FTestRecord> Records;

	UPROPERTY()
	TSet<UObject*> Members;

	UPROPERTY()
	TWeakObjectPtr<UObject> Weak;

	UPROPERTY()
	TSoftObjectPtr<UTestObject> Soft;

	UPROPERTY()
	TSubclassOf<UTestObject> SubClass;

	UPROPERTY()
	TEnumAsByte<ETestShade> ByteShade;

	UFUNCTION(BlueprintCallable, Category = "Halcor")
	int32 Add(int32 A, int32 B) const;

	UFUNCTION(BlueprintCallable, Category = "Halcor")
	bool Fill(const FString& Prefix, TArray<FString>& OutItems, int32 Count = 2);

	UFUNCTION(BlueprintPure, Category = "Halcor")
	static float Half(float Value);

	UFUNCTION(BlueprintImplementableEvent, Category = "Halcor")
	void OnPicked(int32 Index);

	UFUNCTION(BlueprintNativeEvent, Category = "Halcor")
	FString Describe(int32 Level);
	virtual FString Describe_Implementation(int32 Level);

	void BeginDestroy() override;

	/** How many test objects have begun destruction, for the collection tests. */
	static int32 DestroyedCount;
};

UCLASS()
class UTestDerived : public UTestObject
{
	GENERATED_BODY()

public:
	/** Stands in for a blueprint that implements the event. */
	UFUNCTION()
	void OnPicked(int32 Index);

	FString Describe_Implementation(int32 Level) override;

	int32 LastPicked = -1;

private:
	UPROPERTY()
	int32 Hidden = 7;
};

UCLASS(Abstract)
class UTestAbstract : public UObject
{
	GENERATED_BODY()
};
