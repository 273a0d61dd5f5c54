#pragma once

// The reflection macros and the flag sets of objects, properties, functions and classes.
// The macros expand to nothing for the compiler: HeaderTool reads them and writes each
// header's X.generated.h and X.gen.cpp, and GENERATED_BODY() pulls in the per-type part
// of X.generated.h through CURRENT_FILE_ID and the line it stands on.

#include "Misc/EnumClassFlags.h"
#include "CoreTypes.h"

#include <type_traits>

#define UCLASS(...)
#define USTRUCT(...)
#define UENUM(...)
#define UPROPERTY(...)
#define UFUNCTION(...)
#define UPARAM(...)
#define UMETA(...)
#define UINTERFACE(...)

#define VORPEX_BODY_MACRO_COMBINE_INNER(A, B, C, D) A##B##C##D
#define VORPEX_BODY_MACRO_COMBINE(A, B, C, D) VORPEX_BODY_MACRO_COMBINE_INNER(A, B, C, D)
#define GENERATED_BODY(...) VORPEX_BODY_MACRO_COMBINE(CURRENT_FILE_ID, _, __LINE__, _GENERATED_BODY)
#define GENERATED_USTRUCT_BODY(...) GENERATED_BODY()
#define GENERATED_UCLASS_BODY(...) GENERATED_BODY()

enum EObjectFlags : uint32
{
	RF_NoFlags = 0,
	RF_Public = 1 << 0,
	RF_Standalone = 1 << 1,
	RF_MarkAsNative = 1 << 2,
	RF_Transactional = 1 << 3,
	RF_ClassDefaultObject = 1 << 4,
	RF_ArchetypeObject = 1 << 5,
	RF_Transient = 1 << 6,
	RF_MarkAsRootSet = 1 << 7,
};
ENUM_CLASS_FLAGS(EObjectFlags)

enum EPropertyFlags : uint64
{
	CPF_None = 0,
	CPF_Edit = 1ull << 0,
	CPF_ConstParm = 1ull << 1,
	CPF_BlueprintVisible = 1ull << 2,
	CPF_ExportObject = 1ull << 3,
	CPF_BlueprintReadOnly = 1ull << 4,
	CPF_Net = 1ull << 5,
	CPF_EditFixedSize = 1ull << 6,
	CPF_Parm = 1ull << 7,
	CPF_OutParm = 1ull << 8,
	CPF_ZeroConstructor = 1ull << 9,
	CPF_ReturnParm = 1ull << 10,
	CPF_DisableEditOnTemplate = 1ull << 11,
	CPF_Transient = 1ull << 13,
	CPF_Config = 1ull << 14,
	CPF_DisableEditOnInstance = 1ull << 16,
	CPF_EditConst = 1ull << 17,
	CPF_SaveGame = 1ull << 24,
	CPF_ReferenceParm = 1ull << 27,
	CPF_BlueprintAssignable = 1ull << 28,
	CPF_Deprecated = 1ull << 29,
	CPF_AdvancedDisplay = 1ull << 38,
	CPF_Protected = 1ull << 39,
	CPF_NativeAccessSpecifierPublic = 1ull << 54,
	CPF_NativeAccessSpecifierProtected = 1ull << 55,
	CPF_NativeAccessSpecifierPrivate = 1ull << 56,
};
ENUM_CLASS_FLAGS(EPropertyFlags)

enum EFunctionFlags : uint32
{
	FUNC_None = 0,
	FUNC_Final = 1u << 0,
	FUNC_BlueprintAuthorityOnly = 1u << 2,
	FUNC_BlueprintCosmetic = 1u << 3,
	FUNC_Net = 1u << 6,
	FUNC_Exec = 1u << 9,
	FUNC_Native = 1u << 10,
	FUNC_Event = 1u << 11,
	FUNC_Static = 1u << 13,
	FUNC_Public = 1u << 17,
	FUNC_Private = 1u << 18,
	FUNC_Protected = 1u << 19,
	FUNC_HasOutParms = 1u << 22,
	FUNC_HasDefaults = 1u << 23,
	FUNC_BlueprintCallable = 1u << 26,
	FUNC_BlueprintEvent = 1u << 27,
	FUNC_BlueprintPure = 1u << 28,
	FUNC_Const = 1u << 30,
};
ENUM_CLASS_FLAGS(EFunctionFlags)

enum EClassFlags : uint32
{
	CLASS_None = 0,
	CLASS_Abstract = 1u << 0,
	CLASS_Transient = 1u << 3,
	CLASS_Native = 1u << 7,
	CLASS_MinimalAPI = 1u << 19,
	CLASS_Deprecated = 1u << 25,
};
ENUM_CLASS_FLAGS(EClassFlags)

enum EStructFlags : uint32
{
	STRUCT_NoFlags = 0,
	STRUCT_Native = 1u << 0,
	STRUCT_Atomic = 1u << 4,
	STRUCT_Immutable = 1u << 5,
};
ENUM_CLASS_FLAGS(EStructFlags)

class UObject;
class UClass;
class UEnum;
class UScriptStruct;

/** The reflected enumeration for an enum type; each reflected enum's generated header declares its specialization. */
template <typename TEnum>
UEnum* StaticEnum();

namespace UE::CoreUObject
{
	/**
	 * T::StaticClass() for a class that may be incomplete where it is asked for: the generated
	 * code of each reflected class defines its specialization, so a reference to a class that is
	 * only forward-declared still finds its UClass.
	 */
	template <typename T>
	UClass* StaticClassOfType();
}
