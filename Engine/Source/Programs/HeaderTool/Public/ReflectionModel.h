#pragma once

// What HeaderTool learns from one header: the reflected classes, structs and enums with their
// properties, functions and enum entries, each with its specifiers and metadata. The parser
// fills these records and the code generator reads them; they hold no behaviour of their own.

#include <cstdint>
#include <string>
#include <vector>

struct FMetaDataEntry
{
	std::string Key;
	std::string Value;

	bool operator==(const FMetaDataEntry&) const = default;
};

/** The contents of one reflection macro: its items verbatim and the metadata they carry. */
struct FSpecifierList
{
	std::vector<std::string> Specifiers;
	std::vector<FMetaDataEntry> MetaData;

	/** True when an item's name (the part before any '=') equals Name, ignoring case. */
	bool Has(const std::string& Name) const;
};

/** How a function parameter is passed, which decides its parameter flags. */
enum class EParamPassing
{
	Value,
	ConstReference,
	/** A non-const reference: the function writes the value back to the caller. */
	OutReference,
	/** A non-const reference marked UPARAM(ref): passed in and out, not an output only. */
	Reference,
};

struct FReflectedParam
{
	std::string Name;
	/** The type as written, without UPARAM and default value ("const FString&"). */
	std::string Type;
	EParamPassing Passing = EParamPassing::Value;
	/** The UPARAM(...) contents, empty without one. */
	FSpecifierList Specifiers;
};

enum class EFunctionKind
{
	Native,
	/** BlueprintImplementableEvent: no native body; calling it goes through ProcessEvent. */
	ImplementableEvent,
	/** BlueprintNativeEvent: called through ProcessEvent, implemented by Name_Implementation. */
	NativeEvent,
};

struct FReflectedFunction
{
	std::string Name;
	/** As written, "void" when the function returns nothing. */
	std::string ReturnType;
	std::vector<FReflectedParam> Params;
	FSpecifierList Specifiers;
	EFunctionKind Kind = EFunctionKind::Native;
	bool bStatic = false;
	bool bConst = false;
	int Line = 0;

	bool ReturnsValue() const { return ReturnType != "void"; }
};

struct FReflectedProperty
{
	std::string Name;
	/** The member's type as written ("TArray<FHCTexture>"). */
	std::string Type;
	FSpecifierList Specifiers;
	int Line = 0;
};

enum class EReflectedTypeKind
{
	Class,
	Struct,
};

/** A UCLASS or USTRUCT. */
struct FReflectedType
{
	EReflectedTypeKind Kind = EReflectedTypeKind::Class;
	/** The C++ name with its prefix ("UHCFoo", "FHCTexture"). */
	std::string CppName;
	/** The enclosing namespaces joined by "::", empty at global scope. */
	std::string Namespace;
	/** The first base as written; required for classes, empty for a struct without a base. */
	std::string SuperName;
	FSpecifierList Specifiers;
	/** Line of the type's name, where problems with the type as a whole are reported. */
	int Line = 0;
	/** Line of GENERATED_BODY(), which names the macro the generated header defines for the type. */
	int GeneratedBodyLine = 0;
	bool bAbstract = false;
	/** The class declares a constructor taking const FObjectInitializer&. */
	bool bHasInitializerConstructor = false;
	/** The class inherits its base's constructors (using Super::Super;), which may or may not include that one. */
	bool bInheritsConstructors = false;
	std::vector<FReflectedProperty> Properties;
	std::vector<FReflectedFunction> Functions;

	/** The name reflection knows the type by: the C++ name without its U, A or F prefix. */
	std::string ReflectedName() const { return CppName.substr(1); }
};

struct FReflectedEnumEntry
{
	/** The entry's name as declared, unqualified ("Red"). */
	std::string Name;
	int64_t Value = 0;
	std::vector<FMetaDataEntry> MetaData;
};

struct FReflectedEnum
{
	std::string CppName;
	std::string Namespace;
	/** enum class (or enum struct) rather than a plain enum. */
	bool bScoped = true;
	/** The fixed underlying type as written, empty when none is given. */
	std::string UnderlyingType;
	FSpecifierList Specifiers;
	std::vector<FReflectedEnumEntry> Entries;
	int Line = 0;
};

struct FParsedHeader
{
	std::vector<FReflectedType> Types;
	std::vector<FReflectedEnum> Enums;

	bool HasReflectedTypes() const { return !Types.empty() || !Enums.empty(); }
};
