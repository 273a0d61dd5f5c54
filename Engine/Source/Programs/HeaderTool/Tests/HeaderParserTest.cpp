#include "HeaderParser.h"
#include "HeaderToolError.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace
{
	FParsedHeader Parse(const std::string& Source)
	{
		return FHeaderParser("Test.h", Source).Parse();
	}

	std::string ErrorOf(const std::string& Source)
	{
		try
		{
			Parse(Source);
		}
		catch (const FHeaderToolError& Error)
		{
			return Error.what();
		}
		return "<no error>";
	}

	/** A class around Body, with GENERATED_BODY() on line 4. */
	std::string InClass(const std::string& Body)
	{
		return "UCLASS()\nclass UHCTest : public UObject\n{\n\tGENERATED_BODY()\n" + Body + "\n};\n";
	}

	/** A struct around Body, with GENERATED_BODY() on line 4. */
	std::string InStruct(const std::string& Body)
	{
		return "USTRUCT()\nstruct FHCTest\n{\n\tGENERATED_BODY()\n" + Body + "\n};\n";
	}

	const FReflectedFunction& OnlyFunction(const FParsedHeader& Header)
	{
		return Header.Types.at(0).Functions.at(0);
	}

	std::vector<std::pair<std::string, int64_t>> EntryValues(const FReflectedEnum& Enum)
	{
		std::vector<std::pair<std::string, int64_t>> Result;
		for (const FReflectedEnumEntry& Entry : Enum.Entries)
		{
			Result.emplace_back(Entry.Name, Entry.Value);
		}
		return Result;
	}
}

TEST(HeaderParser, ReadsClassesWithTheirBasesSpecifiersAndGeneratedBodyLine)
{
	const FParsedHeader Header = Parse(R"(#pragma once
#include "Foo.generated.h"

class UNotReflected : public UObject { UHCFoo(); };

UCLASS(Abstract, BlueprintType, meta = (ShortTooltip = "Foo"))
class HALCOR_API UHCFoo final : public UHCBase, public IHCInterface, private TPair<int32, float>
{
	GENERATED_BODY()
};

UCLASS()
class AHCActor : public ::Engine::AActorBase<UObject, 2>
{
public:
	GENERATED_UCLASS_BODY()
};
)");
	ASSERT_EQ(Header.Types.size(), 2u);
	const FReflectedType& Foo = Header.Types[0];
	EXPECT_EQ(Foo.Kind, EReflectedTypeKind::Class);
	EXPECT_EQ(Foo.CppName, "UHCFoo");
	EXPECT_EQ(Foo.ReflectedName(), "HCFoo");
	EXPECT_EQ(Foo.SuperName, "UHCBase");
	EXPECT_EQ(Foo.Namespace, "");
	EXPECT_TRUE(Foo.bAbstract);
	EXPECT_EQ(Foo.Line, 7);
	EXPECT_EQ(Foo.GeneratedBodyLine, 9);
	EXPECT_EQ(Foo.Specifiers.Specifiers, (std::vector<std::string>{"Abstract", "BlueprintType", "meta = (ShortTooltip = \"Foo\")"}));
	EXPECT_EQ(Foo.Specifiers.MetaData, (std::vector<FMetaDataEntry>{{"ShortTooltip", "Foo"}}));

	const FReflectedType& Actor = Header.Types[1];
	EXPECT_EQ(Actor.ReflectedName(), "HCActor");
	EXPECT_EQ(Actor.SuperName, "::Engine::AActorBase<UObject, 2>");
	EXPECT_FALSE(Actor.bAbstract);
	EXPECT_EQ(Actor.GeneratedBodyLine, 16);
}

TEST(HeaderParser, RecognisesOnlyTheObjectInitializerConstructor)
{
	const auto HasInitializerConstructor = [](const std::string& Body) { return Parse(InClass(Body)).Types[0].bHasInitializerConstructor; };
	EXPECT_TRUE(HasInitializerConstructor("UHCTest(const FObjectInitializer& ObjectInitializer);"));
	EXPECT_TRUE(HasInitializerConstructor("explicit UHCTest(FObjectInitializer const &);"));
	EXPECT_TRUE(HasInitializerConstructor("UHCTest(const ::FObjectInitializer& Init = FObjectInitializer::Get()) : Super(Init) {}"));
	EXPECT_FALSE(HasInitializerConstructor("UHCTest();"));
	EXPECT_FALSE(HasInitializerConstructor("UHCTest(FObjectInitializer& Mutable);"));
	EXPECT_FALSE(HasInitializerConstructor("UHCTest(const FObjectInitializer* Pointer);"));
	EXPECT_FALSE(HasInitializerConstructor("~UHCTest(); void Make() { UHCTest(); }"));
	EXPECT_FALSE(HasInitializerConstructor("struct FInner { UHCTest(const FObjectInitializer&); };"))
		<< "a nested type's member is not the class's constructor";
}

TEST(HeaderParser, RecognisesInheritedConstructors)
{
	const auto InheritsConstructors = [](const std::string& Body) { return Parse(InClass(Body)).Types[0].bInheritsConstructors; };
	EXPECT_TRUE(InheritsConstructors("using Super::Super;"));
	EXPECT_TRUE(InheritsConstructors("using ::Halcor::UHCBase::UHCBase;"));
	EXPECT_FALSE(InheritsConstructors("using Super::StaticClass;"));
	EXPECT_FALSE(InheritsConstructors("using FAlias = TArray<int32>;"));
	EXPECT_FALSE(InheritsConstructors("using Super;"));
	EXPECT_FALSE(InheritsConstructors("void F() { using Super::Super; }"));
}

TEST(HeaderParser, TypesKeepTheirNamespaces)
{
	const FParsedHeader Header = Parse(R"(
namespace Halcor::Data
{
	namespace Inner { struct FPlain { int X; }; }
	USTRUCT() struct FHCInNamespace { GENERATED_BODY() };
	inline namespace V1 { UENUM() enum class EHCVersioned { A }; }
}
namespace Alias = Halcor::Data;
using namespace Halcor;
extern "C++" { UCLASS() class UHCGlobal : public UObject { GENERATED_BODY() }; }
)");
	ASSERT_EQ(Header.Types.size(), 2u);
	EXPECT_EQ(Header.Types[0].Namespace, "Halcor::Data");
	EXPECT_EQ(Header.Types[0].Kind, EReflectedTypeKind::Struct);
	EXPECT_EQ(Header.Types[1].Namespace, "");
	ASSERT_EQ(Header.Enums.size(), 1u);
	EXPECT_EQ(Header.Enums[0].Namespace, "Halcor::Data::V1");
}

TEST(HeaderParser, ReadsStructsWithAndWithoutBase)
{
	const FParsedHeader Header = Parse(R"(
USTRUCT(BlueprintType)
struct CORE_API FHCTexture
{
	GENERATED_USTRUCT_BODY()
};
USTRUCT()
struct FHCDerived : FHCTexture
{
	GENERATED_BODY()
};
)");
	ASSERT_EQ(Header.Types.size(), 2u);
	EXPECT_EQ(Header.Types[0].ReflectedName(), "HCTexture");
	EXPECT_EQ(Header.Types[0].SuperName, "");
	EXPECT_EQ(Header.Types[0].GeneratedBodyLine, 5);
	EXPECT_EQ(Header.Types[1].SuperName, "FHCTexture");
}

TEST(HeaderParser, PropertiesKeepTheirTypeTextAndSkipInitializers)
{
	const FParsedHeader Header = Parse(InClass(R"(
	UPROPERTY(EditAnywhere, Category = "Halcor")
	TArray<TMap<FString, int32>> Nested = {{TEXT("a"), 1}};

	UPROPERTY()
	TObjectPtr<UTexture2D>   Texture{nullptr};

	void Helper() { if (true) { int32 Local = 0; } }
	int32 NotReflected = 3;

	UPROPERTY() class UHCOther* Other;
	UPROPERTY() TEnumAsByte<EHCLegacy> Legacy;
	UPROPERTY() mutable TFunction<void(int32)> Callback;
	UPROPERTY() const UObject* ReadOnlyTarget = nullptr;
	UPROPERTY() float Ratio = Helper2(1, 2) > 0 ? 1.f : 2.f;
)"));
	const std::vector<FReflectedProperty>& Properties = Header.Types[0].Properties;
	std::vector<std::pair<std::string, std::string>> NamesAndTypes;
	for (const FReflectedProperty& Property : Properties)
	{
		NamesAndTypes.emplace_back(Property.Name, Property.Type);
	}
	EXPECT_EQ(NamesAndTypes, (std::vector<std::pair<std::string, std::string>>{
								 {"Nested", "TArray<TMap<FString, int32>>"},
								 {"Texture", "TObjectPtr<UTexture2D>"},
								 {"Other", "class UHCOther*"},
								 {"Legacy", "TEnumAsByte<EHCLegacy>"},
								 {"Callback", "TFunction<void(int32)>"},
								 {"ReadOnlyTarget", "const UObject*"},
								 {"Ratio", "float"},
							 }));
	EXPECT_EQ(Properties[0].Line, 7);
	EXPECT_EQ(Properties[0].Specifiers.MetaData, (std::vector<FMetaDataEntry>{{"Category", "Halcor"}}));
}

TEST(HeaderParser, FunctionsRecordQualifiersReturnTypeAndParameterPassing)
{
	const FParsedHeader Header = Parse(InClass(R"(
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	virtual const TArray<FString>& Names(int32 A, TArray<uint8>& OutBytes, const FString& Label,
		UPARAM(ref) TMap<FString, int32>& Counts, UObject* Target, const UObject*& OutConstTarget,
		float Scale = 0.5f, FString Text = TEXT("a, b"), TArray<int32> Empty = TArray<int32>()) const override;

	UFUNCTION(BlueprintPure)
	static FORCEINLINE int32 Twice(int32 Value) { return Value * 2; }

	UFUNCTION()
	void NoParams(void) final;
)"));
	const std::vector<FReflectedFunction>& Functions = Header.Types[0].Functions;
	ASSERT_EQ(Functions.size(), 3u);

	const FReflectedFunction& Names = Functions[0];
	EXPECT_EQ(Names.Name, "Names");
	EXPECT_EQ(Names.ReturnType, "const TArray<FString>&");
	EXPECT_TRUE(Names.ReturnsValue());
	EXPECT_TRUE(Names.bConst);
	EXPECT_FALSE(Names.bStatic);
	EXPECT_EQ(Names.Kind, EFunctionKind::Native);
	EXPECT_EQ(Names.Line, 6);
	std::vector<std::tuple<std::string, std::string, EParamPassing>> Params;
	for (const FReflectedParam& Param : Names.Params)
	{
		Params.emplace_back(Param.Name, Param.Type, Param.Passing);
	}
	EXPECT_EQ(Params, (std::vector<std::tuple<std::string, std::string, EParamPassing>>{
						  {"A", "int32", EParamPassing::Value},
						  {"OutBytes", "TArray<uint8>&", EParamPassing::OutReference},
						  {"Label", "const FString&", EParamPassing::ConstReference},
						  {"Counts", "TMap<FString, int32>&", EParamPassing::Reference},
						  {"Target", "UObject*", EParamPassing::Value},
						  {"OutConstTarget", "const UObject*&", EParamPassing::OutReference},
						  {"Scale", "float", EParamPassing::Value},
						  {"Text", "FString", EParamPassing::Value},
						  {"Empty", "TArray<int32>", EParamPassing::Value},
					  }));
	EXPECT_EQ(Names.Params[3].Specifiers.Specifiers, (std::vector<std::string>{"ref"}));

	EXPECT_TRUE(Functions[1].bStatic);
	EXPECT_EQ(Functions[1].ReturnType, "int32");
	EXPECT_FALSE(Functions[2].ReturnsValue());
	EXPECT_TRUE(Functions[2].Params.empty());
}

TEST(HeaderParser, EventSpecifiersMakeEvents)
{
	EXPECT_EQ(OnlyFunction(Parse(InClass("UFUNCTION(BlueprintImplementableEvent) void OnHit(float Damage);"))).Kind,
		EFunctionKind::ImplementableEvent);
	EXPECT_EQ(OnlyFunction(Parse(InClass("UFUNCTION(blueprintnativeevent, Category = \"X\") int32 Score() const;"))).Kind,
		EFunctionKind::NativeEvent);
	EXPECT_EQ(OnlyFunction(Parse(InClass("UFUNCTION(meta = (BlueprintNativeEvent)) void NotAnEvent();"))).Kind, EFunctionKind::Native);
}

TEST(HeaderParser, EnumValuesFollowTheCompilersRules)
{
	const FParsedHeader Header = Parse(R"(
UENUM(BlueprintType)
enum class EHCQuality : uint8
{
	Low UMETA(DisplayName = "Low quality"),
	Medium = 5,
	High,
	Hex = 0x1F UMETA(Hidden),
	Octal = 010,
	Binary = 0b101u,
	Separated = 1'000,
	Negative = -3,
	AfterNegative,
};
UENUM() enum EHCLegacy : unsigned char { LegacyA, LegacyB = +2 };
UENUM() enum class EHCPlain { };
UENUM() enum class EHCWide : int64 { Lowest = -9223372036854775808, Highest = 0x7FFFFFFFFFFFFFFF };
)");
	ASSERT_EQ(Header.Enums.size(), 4u);
	const FReflectedEnum& Quality = Header.Enums[0];
	EXPECT_TRUE(Quality.bScoped);
	EXPECT_EQ(Quality.UnderlyingType, "uint8");
	EXPECT_EQ(Quality.Specifiers.Specifiers, (std::vector<std::string>{"BlueprintType"}));
	EXPECT_EQ(EntryValues(Quality), (std::vector<std::pair<std::string, int64_t>>{
										{"Low", 0}, {"Medium", 5}, {"High", 6}, {"Hex", 31}, {"Octal", 8}, {"Binary", 5},
										{"Separated", 1000}, {"Negative", -3}, {"AfterNegative", -2}}));
	EXPECT_EQ(Quality.Entries[0].MetaData, (std::vector<FMetaDataEntry>{{"DisplayName", "Low quality"}}));
	EXPECT_EQ(Quality.Entries[3].MetaData, (std::vector<FMetaDataEntry>{{"Hidden", ""}}));

	EXPECT_FALSE(Header.Enums[1].bScoped);
	EXPECT_EQ(Header.Enums[1].UnderlyingType, "unsigned char");
	EXPECT_EQ(EntryValues(Header.Enums[1]), (std::vector<std::pair<std::string, int64_t>>{{"LegacyA", 0}, {"LegacyB", 2}}));
	EXPECT_EQ(Header.Enums[2].UnderlyingType, "");
	EXPECT_TRUE(Header.Enums[2].Entries.empty());
	EXPECT_EQ(EntryValues(Header.Enums[3]), (std::vector<std::pair<std::string, int64_t>>{
												{"Lowest", std::numeric_limits<int64_t>::min()}, {"Highest", std::numeric_limits<int64_t>::max()}}));
}

TEST(HeaderParser, MisplacedMacrosAreErrors)
{
	const std::vector<std::pair<std::string, std::string>> Cases = {
		{"\nUPROPERTY() int32 Loose;", "Test.h:2: error: UPROPERTY outside the body of a UCLASS or USTRUCT"},
		{"class FPlain\n{\n\tUPROPERTY() int32 X;\n};", "Test.h:3: error: UPROPERTY outside the body of a UCLASS or USTRUCT"},
		{InClass("void F()\n{\n\tUPROPERTY() int32 X;\n}"), "Test.h:7: error: UPROPERTY outside the body of a UCLASS or USTRUCT"},
		{"UFUNCTION() void Free();", "Test.h:1: error: UFUNCTION outside the body of a UCLASS"},
		{InStruct("UFUNCTION() void F();"), "Test.h:5: error: UFUNCTION is not allowed in a USTRUCT"},
		{InClass("UCLASS() class UHCNested : public UObject { GENERATED_BODY() };"), "Test.h:5: error: UCLASS must be declared at namespace scope"},
		{InClass("UENUM() enum class EInner : uint8 { A };"), "Test.h:5: error: UENUM must be declared at namespace scope"},
		{"void F() {\nUSTRUCT() struct FLocal { GENERATED_BODY() };\n}", "Test.h:2: error: USTRUCT must be declared at namespace scope"},
		{"namespace {\nUENUM() enum class EHidden : uint8 { A };\n}",
			"Test.h:2: error: UENUM cannot be used in an anonymous namespace: the generated file must be able to name the type"},
		{"\nGENERATED_BODY()", "Test.h:2: error: GENERATED_BODY() outside the body of a UCLASS or USTRUCT"},
		{"void F(UPARAM(ref) int32& X);", "Test.h:1: error: UPARAM outside the parameter list of a UFUNCTION"},
		{"enum class E { A UMETA(Hidden) };", "Test.h:1: error: UMETA outside the entries of a UENUM"},
		{"UINTERFACE()\nclass UHCInterface : public UInterface {};", "Test.h:1: error: UINTERFACE is not supported"},
	};
	for (const auto& [Source, Expected] : Cases)
	{
		EXPECT_EQ(ErrorOf(Source), Expected) << Source;
	}
}

TEST(HeaderParser, MalformedTypeDeclarationsAreErrors)
{
	const std::vector<std::pair<std::string, std::string>> Cases = {
		{"UCLASS()\nclass UHCFoo : public UObject\n{\n\tint32 X;\n};", "Test.h:2: error: UCLASS UHCFoo has no GENERATED_BODY()"},
		{"USTRUCT()\nstruct FHCFoo\n{\n};", "Test.h:2: error: USTRUCT FHCFoo has no GENERATED_BODY()"},
		{InClass("GENERATED_BODY()"), "Test.h:5: error: UHCTest has a second GENERATED_BODY()"},
		{"UCLASS(\nclass UHCFoo : public UObject { GENERATED_BODY() };", "Test.h:1: error: unbalanced parentheses in UCLASS(...)"},
		{"UCLASS(Abstract\nclass UHCFoo;", "Test.h:1: error: unbalanced parentheses in UCLASS(...)"},
		{"UCLASS\nclass UHCFoo : public UObject {};", "Test.h:1: error: expected '(' after UCLASS"},
		{"UCLASS()\nstruct UHCFoo : public UObject { GENERATED_BODY() };", "Test.h:1: error: UCLASS must be followed by a class definition"},
		{"USTRUCT()\nclass FHCFoo { GENERATED_BODY() };", "Test.h:1: error: USTRUCT must be followed by a struct definition"},
		{"UCLASS()\nclass UHCFoo;", "Test.h:2: error: UCLASS must be followed by the definition of UHCFoo, not a declaration"},
		{"UCLASS()\nclass UHCFoo { GENERATED_BODY() };", "Test.h:2: error: UCLASS UHCFoo must derive from a UObject class"},
		{"UCLASS()\nclass UHCFoo : UObject { GENERATED_BODY() };", "Test.h:2: error: UHCFoo must derive publicly from UObject"},
		{"USTRUCT()\nstruct FHCFoo : protected FBase { GENERATED_BODY() };", "Test.h:2: error: FHCFoo must derive publicly from FBase"},
		{"UCLASS()\nclass HCFoo : public UObject { GENERATED_BODY() };", "Test.h:2: error: UCLASS name HCFoo must start with U or A"},
		{"USTRUCT()\nstruct HCFoo { GENERATED_BODY() };", "Test.h:2: error: USTRUCT name HCFoo must start with F"},
		{"UCLASS()\nclass UHCFoo : public UObject\nint32 X;", "Test.h:2: error: expected '{' after the base classes of UHCFoo"},
		{"UCLASS() class UHCFoo : public UObject { GENERATED_BODY()\n\nvoid F() {}", "Test.h:1: error: unbalanced braces: this '{' is never closed"},
		{"int32 X;\n}\n", "Test.h:2: error: unbalanced braces: '}' without a matching '{'"},
		{"UCLASS(EditAnywhere,) class UHCFoo : public UObject { GENERATED_BODY() };", "Test.h:1: error: empty specifier"},
	};
	for (const auto& [Source, Expected] : Cases)
	{
		EXPECT_EQ(ErrorOf(Source), Expected) << Source;
	}
}

TEST(HeaderParser, UnsupportedPropertiesAreErrorsNamingTheMember)
{
	const std::vector<std::pair<std::string, std::string>> Cases = {
		{InClass("UPROPERTY()\nuint8 bFlag : 1;"), "Test.h:6: error: bit-field bFlag cannot be a UPROPERTY; use bool"},
		{InClass("UPROPERTY()\nint32 Values[4];"), "Test.h:6: error: C array Values cannot be a UPROPERTY; use TArray"},
		{InClass("UPROPERTY()\nint32 A, B;"), "Test.h:6: error: UPROPERTY must declare a single member; A is followed by another"},
		{InClass("UPROPERTY()\nint32 Get() const;"), "Test.h:6: error: UPROPERTY must precede a data member; Get is a function"},
		{InClass("UPROPERTY()\nstatic int32 Shared;"), "Test.h:6: error: static member Shared cannot be a UPROPERTY"},
		{InClass("UPROPERTY()\nint32& Alias;"), "Test.h:6: error: reference member Alias cannot be a UPROPERTY"},
		{InClass("UPROPERTY()\nconst int32 Fixed = 1;"), "Test.h:6: error: const member Fixed cannot be a UPROPERTY"},
		{InClass("UPROPERTY()\nUObject* const Pinned = nullptr;"), "Test.h:6: error: const member Pinned cannot be a UPROPERTY"},
		{InClass("UPROPERTY()\nint32;"), "Test.h:5: error: expected a type and a name after UPROPERTY"},
		{InClass("UPROPERTY()\nNameOnly;"), "Test.h:5: error: expected a type and a name after UPROPERTY"},
		{InClass("UPROPERTY(EditAnywhere)\nint32 Missing\n"), "Test.h:5: error: expected a declaration ending in ';' after UPROPERTY"},
		{InClass("UPROPERTY(EditAnywhere, meta = (ClampMin = \"0\")\nint32 X;"), "Test.h:5: error: unbalanced parentheses in UPROPERTY(...)"},
	};
	for (const auto& [Source, Expected] : Cases)
	{
		EXPECT_EQ(ErrorOf(Source), Expected) << Source;
	}
}

TEST(HeaderParser, UnsupportedFunctionsAreErrorsNamingTheFunction)
{
	const std::vector<std::pair<std::string, std::string>> Cases = {
		{InClass("UFUNCTION()\nint32 Value;"), "Test.h:5: error: UFUNCTION declaration has no parameter list"},
		{InClass("UFUNCTION()\nint32 Value = 0;"), "Test.h:5: error: UFUNCTION declaration has no parameter list"},
		{InClass("UFUNCTION()\nint32 F(int32 A;"), "Test.h:5: error: unbalanced parentheses in the parameter list of F"},
		{InClass("UFUNCTION()\nF();"), "Test.h:6: error: UFUNCTION F has no return type"},
		{InClass("UFUNCTION()\nbool operator==(const UHCTest& Other) const;"), "Test.h:5: error: expected a function name before '(' after UFUNCTION"},
		{InClass("UFUNCTION()\nUPARAM(DisplayName = \"Total\") int32 F();"), "Test.h:6: error: UPARAM on a return value is not supported"},
		{InClass("UFUNCTION()\nvoid F(int32);"), "Test.h:6: error: parameter 1 of F needs a type and a name"},
		{InClass("UFUNCTION()\nvoid F(int32 A, const FString&);"), "Test.h:6: error: parameter 2 of F needs a type and a name"},
		{InClass("UFUNCTION()\nvoid F(int32 Values[4]);"), "Test.h:6: error: the type of parameter 1 of F cannot be reflected"},
		{InClass("UFUNCTION()\nvoid F(int32 A, void (*Callback)(int32));"), "Test.h:6: error: the type of parameter 2 of F cannot be reflected"},
		{InClass("UFUNCTION()\nvoid F(FString&& Moved);"), "Test.h:6: error: rvalue reference parameter Moved of F cannot be reflected"},
		{InClass("UFUNCTION()\nvoid F(UPARAM(ref) int32 Copy);"), "Test.h:6: error: UPARAM(ref) on parameter Copy of F needs a reference type"},
		{InClass("UFUNCTION()\nint32 F(int32 ReturnValue);"), "Test.h:6: error: parameter name ReturnValue of F is reserved for the return value"},
		{InClass("UFUNCTION()\nvoid F() &;"), "Test.h:6: error: unexpected '&' after the parameter list of UFUNCTION F"},
		{InClass("UFUNCTION() void F();\nUFUNCTION() void F(int32 A);"), "Test.h:6: error: UFUNCTION F is declared twice; overloads cannot be reflected"},
		{InClass("UFUNCTION(BlueprintImplementableEvent, BlueprintNativeEvent)\nvoid F();"),
			"Test.h:5: error: F cannot be both BlueprintImplementableEvent and BlueprintNativeEvent"},
		{InClass("UFUNCTION(BlueprintImplementableEvent)\nstatic void F();"), "Test.h:5: error: event F cannot be static"},
		{InClass("UFUNCTION(BlueprintImplementableEvent)\nvoid F() {}"), "Test.h:5: error: event F must only be declared: its body is generated"},
		{InClass("UFUNCTION(BlueprintNativeEvent)\nvirtual void F() = 0;"),
			"Test.h:5: error: event F must only be declared: its body is generated; implement F_Implementation instead"},
		{InClass("UFUNCTION(BlueprintNativeEvent)\nconst FString& F() const;"), "Test.h:5: error: event F cannot return a reference"},
	};
	for (const auto& [Source, Expected] : Cases)
	{
		EXPECT_EQ(ErrorOf(Source), Expected) << Source;
	}
}

TEST(HeaderParser, MalformedEnumsAreErrors)
{
	const std::vector<std::pair<std::string, std::string>> Cases = {
		{"UENUM()\nenum EHCLoose { A };", "Test.h:2: error: unscoped enum EHCLoose needs a fixed underlying type (enum EHCLoose : uint8) so that it can be forward-declared"},
		{"UENUM()\nenum class E : uint8 { A = B };", "Test.h:2: error: value of E::A must be an integer literal"},
		{"UENUM()\nenum class E : uint8 {\nA = 1 << 2 };", "Test.h:3: error: value of E::A must be an integer literal"},
		{"UENUM()\nenum class E : uint8 {\nA = 1.5 };", "Test.h:3: error: value of E::A must be an integer literal"},
		{"UENUM()\nenum class E : uint8 {\nA = 09 };", "Test.h:3: error: value of E::A must be an integer literal"},
		{"UENUM()\nenum class E : uint8 {\nA = 'a' };", "Test.h:3: error: value of E::A must be an integer literal"},
		{"UENUM()\nenum class E : uint64 {\nA = 0x8000000000000000 };", "Test.h:3: error: value of E::A does not fit in int64"},
		{"UENUM()\nenum class E : int64 {\nA = -9223372036854775809 };", "Test.h:3: error: value of E::A does not fit in int64"},
		{"UENUM()\nenum class E : int64 {\nA = 9223372036854775807,\nB };", "Test.h:4: error: value of E::B does not fit in int64"},
		{"UENUM()\nenum class E : uint8 {\nA UMETA(Hidden) UMETA(Hidden) };", "Test.h:3: error: E::A has a second UMETA"},
		{"UENUM()\nenum class E : uint8 {\nA\nB };", "Test.h:4: error: expected ',' or '}' after E::A but found 'B'"},
		{"UENUM()\nenum class E : uint8 {\nA,\n42 };", "Test.h:4: error: expected an entry name in E but found '42'"},
		{"UENUM()\nenum class E : uint8 { A,", "Test.h:2: error: unbalanced braces: the entries of E are never closed"},
		{"UENUM()\nenum class E : uint8;", "Test.h:2: error: UENUM must be followed by the definition of E, not a declaration"},
		{"UENUM()\nstruct E {};", "Test.h:1: error: UENUM must be followed by an enum definition"},
		{"UENUM(BlueprintType\nenum class E : uint8 { A };", "Test.h:1: error: unbalanced parentheses in UENUM(...)"},
		{"UENUM()\nenum class E : uint8 { A UMETA(DisplayName = \"X\" };", "Test.h:2: error: unbalanced parentheses in UMETA(...)"},
	};
	for (const auto& [Source, Expected] : Cases)
	{
		EXPECT_EQ(ErrorOf(Source), Expected) << Source;
	}
}
