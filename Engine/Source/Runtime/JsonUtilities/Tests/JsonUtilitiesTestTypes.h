#pragma once

// Reflected types the JSON conversion tests read and write: every kind of field the
// converter knows, records nested three deep, containers, references, and an object with
// functions to call by name.

#include "CoreMinimal.h"
#include "Templates/SubclassOf.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"
#include "UObject/SoftObjectPtr.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include "JsonUtilitiesTestTypes.generated.h"

class UJsonTestAsset;

UENUM(BlueprintType)
enum class EJsonTestShade : uint8
{
	Pale,
	Medium = 4,
	Dark,
};

USTRUCT(BlueprintType)
struct FJsonTestScalars
{
	GENERATED_BODY()

	UPROPERTY()
	FString text = TEXT("start");

	UPROPERTY()
	FName label;

	UPROPERTY()
	FText caption;

	UPROPERTY()
	int32 count = -1;

	UPROPERTY()
	int8 tiny = 0;

	UPROPERTY()
	uint8 octet = 0;

	UPROPERTY()
	int64 wide = 0;

	UPROPERTY()
	uint64 unsignedWide = 0;

	UPROPERTY()
	float weight = 0.5f;

	UPROPERTY()
	double precise = 0.0;

	UPROPERTY()
	bool enabled = false;

	UPROPERTY()
	EJsonTestShade shade = EJsonTestShade::Pale;

	UPROPERTY()
	TEnumAsByte<EJsonTestShade> byteShade = EJsonTestShade::Pale;
};

/** The innermost of three levels, as a character descriptor nests characters in groups. */
USTRUCT()
struct FJsonTestCharacter
{
	GENERATED_BODY()

	UPROPERTY()
	FString name;

	UPROPERTY()
	TArray<float> blends;
};

USTRUCT()
struct FJsonTestGroup
{
	GENERATED_BODY()

	UPROPERTY()
	FString title;

	UPROPERTY()
	TArray<FJsonTestCharacter> characters;
};

USTRUCT()
struct FJsonTestDescriptor
{
	GENERATED_BODY()

	UPROPERTY()
	TArray<FJsonTestGroup> groups;

	UPROPERTY()
	FJsonTestCharacter lead;
};

USTRUCT()
struct FJsonTestContainers
{
	GENERATED_BODY()

	UPROPERTY()
	TMap<FString, int32> scores;

	UPROPERTY()
	TMap<int32, FString> labels;

	UPROPERTY()
	TMap<EJsonTestShade, float> shadeWeights;

	UPROPERTY()
	TMap<FName, FJsonTestCharacter> cast;

	UPROPERTY()
	TSet<FString> tags;

	UPROPERTY()
	TSet<int32> numbers;

	UPROPERTY()
	TArray<EJsonTestShade> shades;
};

USTRUCT()
struct FJsonTestReferences
{
	GENERATED_BODY()

	UPROPERTY()
	TObjectPtr<UJsonTestAsset> asset;

	UPROPERTY()
	TWeakObjectPtr<UJsonTestAsset> watched;

	UPROPERTY()
	TSoftObjectPtr<UJsonTestAsset> later;

	UPROPERTY()
	TSubclassOf<UJsonTestAsset> kind;

	UPROPERTY()
	TArray<TObjectPtr<UJsonTestAsset>> assets;
};

/** A record used as a map key, which JSON object keys (text) cannot express. */
USTRUCT()
struct FJsonTestPoint
{
	GENERATED_BODY()

	UPROPERTY()
	int32 x = 0;

	UPROPERTY()
	int32 y = 0;

	bool operator==(const FJsonTestPoint&) const = default;
	friend uint32 GetTypeHash(const FJsonTestPoint& Point) { return HashCombine(GetTypeHash(Point.x), GetTypeHash(Point.y)); }
};

USTRUCT()
struct FJsonTestPointMap
{
	GENERATED_BODY()

	UPROPERTY()
	TMap<FJsonTestPoint, int32> byPoint;
};

/** A base and a derived record, for the declared order of written fields and for flags. */
USTRUCT()
struct FJsonTestBase
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere)
	FString AssetID;

	UPROPERTY()
	int32 Zeta = 0;
};

USTRUCT()
struct FJsonTestDerived : public FJsonTestBase
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere)
	float Alpha = 0.0f;

	UPROPERTY()
	TArray<FString> Middle;

	UPROPERTY(Transient)
	int32 Scratch = 0;
};

/** Counts its live instances, so that tests can see a call's parameter block destroyed on every path. */
USTRUCT()
struct FJsonTestTracked
{
	GENERATED_BODY()

	FJsonTestTracked() { ++Live; }
	FJsonTestTracked(const FJsonTestTracked& Other) : value(Other.value) { ++Live; }
	FJsonTestTracked& operator=(const FJsonTestTracked&) = default;
	~FJsonTestTracked() { --Live; }

	UPROPERTY()
	int32 value = 0;

	static int32 Live;
};

/** What object paths in the tests resolve to. */
UCLASS()
class UJsonTestAsset : public UObject
{
	GENERATED_BODY()

public:
	UPROPERTY()
	int32 Quality = 0;
};

UCLASS()
class UJsonTestSpecialAsset : public UJsonTestAsset
{
	GENERATED_BODY()

public:
	UPROPERTY()
	FString Special;
};

/** An object whose reflected fields are read through its class, and whose functions are called by name. */
UCLASS()
class UJsonTestCallee : public UObject
{
	GENERATED_BODY()

public:
	UPROPERTY()
	int32 Offset = 0;

	UPROPERTY()
	FString Greeting;

	UFUNCTION(BlueprintCallable)
	int32 Add(int32 A, int32 B) const;

	/** Splits Text at Separator into Parts; Limit caps the parts kept and comes back as how many were dropped. */
	UFUNCTION(BlueprintCallable)
	bool Split(const FString& Text, const FString& Separator, TArray<FString>& Parts, UPARAM(ref) int32& Limit);

	UFUNCTION(BlueprintCallable)
	FJsonTestCharacter MakeCharacter(const FString& Name, EJsonTestShade Shade, const TArray<float>& Weights);

	/** Takes Amount off Offset; a negative Amount is a failed check. */
	UFUNCTION(BlueprintCallable)
	void Spend(int32 Amount);

	/** Tracked.value plus Amount; a negative Amount is a failed check. */
	UFUNCTION(BlueprintCallable)
	int32 Track(const FJsonTestTracked& Tracked, int32 Amount);
};

UCLASS()
class UJsonTestDerivedCallee : public UJsonTestCallee
{
	GENERATED_BODY()

public:
	UPROPERTY()
	TArray<int32> Extra;
};
