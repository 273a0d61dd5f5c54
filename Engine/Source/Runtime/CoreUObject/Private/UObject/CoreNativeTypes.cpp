// The reflection of CoreUObject's own classes, which have no generated code: the class
// objects of UObject, UField, UStruct, UScriptStruct, UFunction, UClass, UEnum and UPackage
// are made together, since each is an object whose class is UClass, and the records of the
// math types.

#include "UObject/GeneratedCppIncludes.h"
#include "UObject/ObjectConstruction.h"
#include "UObject/Package.h"
#include "UObject/UObjectArray.h"

#include <cstddef>

struct FCoreClassBootstrap
{
	UClass* Object;
	UClass* Field;
	UClass* Struct;
	UClass* ScriptStruct;
	UClass* Function;
	UClass* Class;
	UClass* Enum;
	UClass* Package;

	static const FCoreClassBootstrap& Get()
	{
		static const FCoreClassBootstrap* Classes = Make();
		return *Classes;
	}

private:
	template <typename T>
	static UObject* Construct(void* Memory, const FObjectInitializer&)
	{
		return new (Memory) T();
	}

	/** A class object made before UClass itself exists: its own class is filled in afterwards. */
	template <typename T>
	static UClass* MakeClass(UPackage* Package, const TCHAR* Name, UClass* Super)
	{
		UClass* Result = static_cast<UClass*>(UE::CoreUObject::Private::ConstructObject(nullptr, Package, FName(Name),
			RF_Public | RF_MarkAsNative | RF_MarkAsRootSet, sizeof(UClass), alignof(UClass), &Construct<UClass>));
		Result->SetSuperStruct(Super);
		Result->SetSizeAndAlignment(sizeof(T), alignof(T));
		Result->ClassFlags = CLASS_Native;
		Result->SetNativeConstruction(&Construct<T>, &T::AddReferencedObjects);
		return Result;
	}

	static const FCoreClassBootstrap* Make()
	{
		UPackage* Package = static_cast<UPackage*>(UE::CoreUObject::Private::ConstructObject(nullptr, nullptr,
			FName(TEXT("/Script/CoreUObject")), RF_Public | RF_MarkAsRootSet, sizeof(UPackage), alignof(UPackage), &Construct<UPackage>));
		auto* Classes = new FCoreClassBootstrap();
		Classes->Object = MakeClass<UObject>(Package, TEXT("Object"), nullptr);
		Classes->Field = MakeClass<UField>(Package, TEXT("Field"), Classes->Object);
		Classes->Struct = MakeClass<UStruct>(Package, TEXT("Struct"), Classes->Field);
		Classes->ScriptStruct = MakeClass<UScriptStruct>(Package, TEXT("ScriptStruct"), Classes->Struct);
		Classes->Function = MakeClass<UFunction>(Package, TEXT("Function"), Classes->Struct);
		Classes->Class = MakeClass<UClass>(Package, TEXT("Class"), Classes->Struct);
		Classes->Enum = MakeClass<UEnum>(Package, TEXT("Enum"), Classes->Field);
		Classes->Package = MakeClass<UPackage>(Package, TEXT("Package"), Classes->Object);
		for (UClass* Made : {Classes->Object, Classes->Field, Classes->Struct, Classes->ScriptStruct, Classes->Function, Classes->Class,
				 Classes->Enum, Classes->Package})
		{
			Made->ClassPrivate = Classes->Class;
		}
		Package->ClassPrivate = Classes->Package;
		return Classes;
	}
};

UClass* UObject::StaticClass() { return FCoreClassBootstrap::Get().Object; }
UClass* UField::StaticClass() { return FCoreClassBootstrap::Get().Field; }
UClass* UStruct::StaticClass() { return FCoreClassBootstrap::Get().Struct; }
UClass* UScriptStruct::StaticClass() { return FCoreClassBootstrap::Get().ScriptStruct; }
UClass* UFunction::StaticClass() { return FCoreClassBootstrap::Get().Function; }
UClass* UClass::StaticClass() { return FCoreClassBootstrap::Get().Class; }
UClass* UEnum::StaticClass() { return FCoreClassBootstrap::Get().Enum; }
UClass* UPackage::StaticClass() { return FCoreClassBootstrap::Get().Package; }

template <> UClass* UE::CoreUObject::StaticClassOfType<UObject>() { return UObject::StaticClass(); }
template <> UClass* UE::CoreUObject::StaticClassOfType<UField>() { return UField::StaticClass(); }
template <> UClass* UE::CoreUObject::StaticClassOfType<UStruct>() { return UStruct::StaticClass(); }
template <> UClass* UE::CoreUObject::StaticClassOfType<UScriptStruct>() { return UScriptStruct::StaticClass(); }
template <> UClass* UE::CoreUObject::StaticClassOfType<UFunction>() { return UFunction::StaticClass(); }
template <> UClass* UE::CoreUObject::StaticClassOfType<UClass>() { return UClass::StaticClass(); }
template <> UClass* UE::CoreUObject::StaticClassOfType<UEnum>() { return UEnum::StaticClass(); }
template <> UClass* UE::CoreUObject::StaticClassOfType<UPackage>() { return UPackage::StaticClass(); }

namespace
{
	constexpr const TCHAR* CorePackage = TEXT("/Script/CoreUObject");

	template <typename T>
	UScriptStruct* GetBaseStructure(const TCHAR* Name, void (*Build)(UE::CoreUObject::FStructBuilder&))
	{
		static UScriptStruct* Struct = nullptr;
		return UE::CoreUObject::GetPrivateStaticStruct(Struct,
			{CorePackage, Name, sizeof(T), alignof(T), nullptr, &UE::CoreUObject::MakeCppStructOps<T>, Build});
	}

	template <typename T, typename MemberType>
	void AddMember(UE::CoreUObject::FStructBuilder& Builder, const TCHAR* Name, SIZE_T Offset)
	{
		Builder.Property<MemberType>(Name, static_cast<int32>(Offset), {TEXT("EditAnywhere"), TEXT("BlueprintReadWrite")}, {});
	}

	/** Reaches the transform's protected members, which reflection lists as the engine does. */
	struct FTransformMembers : FTransform
	{
		static constexpr SIZE_T RotationOffset() { return offsetof(FTransformMembers, Rotation); }
		static constexpr SIZE_T TranslationOffset() { return offsetof(FTransformMembers, Translation); }
		static constexpr SIZE_T Scale3DOffset() { return offsetof(FTransformMembers, Scale3D); }
	};
}

#define VORPEX_XY(Type, Component)                                                    \
	[](UE::CoreUObject::FStructBuilder& B) {                                          \
		AddMember<Type, Component>(B, TEXT("X"), offsetof(Type, X));                  \
		AddMember<Type, Component>(B, TEXT("Y"), offsetof(Type, Y));                  \
	}
#define VORPEX_XYZ(Type, Component)                                                   \
	[](UE::CoreUObject::FStructBuilder& B) {                                          \
		AddMember<Type, Component>(B, TEXT("X"), offsetof(Type, X));                  \
		AddMember<Type, Component>(B, TEXT("Y"), offsetof(Type, Y));                  \
		AddMember<Type, Component>(B, TEXT("Z"), offsetof(Type, Z));                  \
	}

UScriptStruct* TBaseStructure<FVector>::Get() { return GetBaseStructure<FVector>(TEXT("Vector"), VORPEX_XYZ(FVector, double)); }
UScriptStruct* TBaseStructure<FVector3f>::Get() { return GetBaseStructure<FVector3f>(TEXT("Vector3f"), VORPEX_XYZ(FVector3f, float)); }
UScriptStruct* TBaseStructure<FVector2D>::Get() { return GetBaseStructure<FVector2D>(TEXT("Vector2D"), VORPEX_XY(FVector2D, double)); }
UScriptStruct* TBaseStructure<FVector2f>::Get() { return GetBaseStructure<FVector2f>(TEXT("Vector2f"), VORPEX_XY(FVector2f, float)); }
UScriptStruct* TBaseStructure<FIntPoint>::Get() { return GetBaseStructure<FIntPoint>(TEXT("IntPoint"), VORPEX_XY(FIntPoint, int32)); }
#undef VORPEX_XY
#undef VORPEX_XYZ

UScriptStruct* TBaseStructure<FQuat>::Get()
{
	return GetBaseStructure<FQuat>(TEXT("Quat"), [](UE::CoreUObject::FStructBuilder& B) {
		AddMember<FQuat, double>(B, TEXT("X"), offsetof(FQuat, X));
		AddMember<FQuat, double>(B, TEXT("Y"), offsetof(FQuat, Y));
		AddMember<FQuat, double>(B, TEXT("Z"), offsetof(FQuat, Z));
		AddMember<FQuat, double>(B, TEXT("W"), offsetof(FQuat, W));
	});
}

UScriptStruct* TBaseStructure<FRotator>::Get()
{
	return GetBaseStructure<FRotator>(TEXT("Rotator"), [](UE::CoreUObject::FStructBuilder& B) {
		AddMember<FRotator, double>(B, TEXT("Pitch"), offsetof(FRotator, Pitch));
		AddMember<FRotator, double>(B, TEXT("Yaw"), offsetof(FRotator, Yaw));
		AddMember<FRotator, double>(B, TEXT("Roll"), offsetof(FRotator, Roll));
	});
}

UScriptStruct* TBaseStructure<FTransform>::Get()
{
	return GetBaseStructure<FTransform>(TEXT("Transform"), [](UE::CoreUObject::FStructBuilder& B) {
		AddMember<FTransform, FQuat>(B, TEXT("Rotation"), FTransformMembers::RotationOffset());
		AddMember<FTransform, FVector>(B, TEXT("Translation"), FTransformMembers::TranslationOffset());
		AddMember<FTransform, FVector>(B, TEXT("Scale3D"), FTransformMembers::Scale3DOffset());
	});
}

UScriptStruct* TBaseStructure<FColor>::Get()
{
	return GetBaseStructure<FColor>(TEXT("Color"), [](UE::CoreUObject::FStructBuilder& B) {
		AddMember<FColor, uint8>(B, TEXT("B"), offsetof(FColor, B));
		AddMember<FColor, uint8>(B, TEXT("G"), offsetof(FColor, G));
		AddMember<FColor, uint8>(B, TEXT("R"), offsetof(FColor, R));
		AddMember<FColor, uint8>(B, TEXT("A"), offsetof(FColor, A));
	});
}

UScriptStruct* TBaseStructure<FLinearColor>::Get()
{
	return GetBaseStructure<FLinearColor>(TEXT("LinearColor"), [](UE::CoreUObject::FStructBuilder& B) {
		AddMember<FLinearColor, float>(B, TEXT("R"), offsetof(FLinearColor, R));
		AddMember<FLinearColor, float>(B, TEXT("G"), offsetof(FLinearColor, G));
		AddMember<FLinearColor, float>(B, TEXT("B"), offsetof(FLinearColor, B));
		AddMember<FLinearColor, float>(B, TEXT("A"), offsetof(FLinearColor, A));
	});
}
