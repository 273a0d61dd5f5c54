#include "CodeGenerator.h"
#include "HeaderParser.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace
{
	std::string SourceFor(const std::string& Header)
	{
		return FCodeGenerator("Halcor", "Test", "Test.h").GenerateSource(FHeaderParser("Test.h", Header).Parse());
	}

	std::string HeaderFor(const std::string& Header)
	{
		return FCodeGenerator("Halcor", "Test", "Test.h").GenerateHeader(FHeaderParser("Test.h", Header).Parse());
	}

	void ExpectContains(const std::string& Text, const std::string& Snippet)
	{
		EXPECT_NE(Text.find(Snippet), std::string::npos) << "missing:\n" << Snippet << "\nin:\n" << Text;
	}
}

TEST(CodeGenerator, EscapesStringsForTextLiterals)
{
	EXPECT_EQ(FCodeGenerator::EscapeString("plain |/ text"), "plain |/ text");
	EXPECT_EQ(FCodeGenerator::EscapeString("a \"b\" \\c\\"), "a \\\"b\\\" \\\\c\\\\");
	EXPECT_EQ(FCodeGenerator::EscapeString("line\nnext\ttab\r"), "line\\nnext\\ttab\\r");
	EXPECT_EQ(FCodeGenerator::EscapeString(std::string("\x01") + "7"), "\\0017") << "octal escapes stop after three digits";
	EXPECT_EQ(FCodeGenerator::EscapeString("\xc3\xa9"), "\xc3\xa9") << "UTF-8 passes through";
}

TEST(CodeGenerator, FileIdIsAnIdentifierMadeFromModuleAndBaseName)
{
	EXPECT_EQ(FCodeGenerator("Halcor", "HCDataAssets", "").GetFileId(), "FID_Halcor_HCDataAssets_h");
	EXPECT_EQ(FCodeGenerator("My-Module", "Plain.Types", "").GetFileId(), "FID_My_Module_Plain_Types_h");
}

TEST(CodeGenerator, StructsNameTheirBaseThroughTheGlobalStaticStruct)
{
	const std::string Header = "USTRUCT()\nstruct FHCDerived : public FVector\n{\n\tGENERATED_BODY()\n};\n";
	ExpectContains(HeaderFor(Header), "#define FID_Halcor_Test_h_4_GENERATED_BODY \\\n\tfriend struct FReflection_FHCDerived; \\\n"
									  "\tstatic UScriptStruct* StaticStruct(); \\\n\tusing Super = FVector;\n");
	ExpectContains(SourceFor(Header), "alignof(FHCDerived), &::StaticStruct<FVector>, &UE::CoreUObject::MakeCppStructOps<FHCDerived>");
}

TEST(CodeGenerator, EnumsKeepTheirFormAndExtremeValues)
{
	const std::string Header = "namespace Halcor {\nUENUM()\nenum EHCLegacy : int64 { Lowest = -9223372036854775808, Top = 0x7FFFFFFFFFFFFFFF };\n}\n";
	ExpectContains(HeaderFor(Header), "namespace Halcor { enum EHCLegacy : int64; }\ntemplate <> UEnum* StaticEnum<Halcor::EHCLegacy>();\n");
	const std::string Source = SourceFor(Header);
	ExpectContains(Source, "template <> UEnum* StaticEnum<Halcor::EHCLegacy>()\n");
	ExpectContains(Source, "TEXT(\"EHCLegacy\"), UEnum::ECppForm::Regular,");
	ExpectContains(Source, "Builder.Entry(TEXT(\"Lowest\"), (-9223372036854775807 - 1));");
	ExpectContains(Source, "Builder.Entry(TEXT(\"Top\"), " + std::to_string(std::numeric_limits<int64_t>::max()) + ");");
	ExpectContains(Source, "StaticEnum<Halcor::EHCLegacy>(); });");
}

TEST(CodeGenerator, PlainClassesConstructWithTheDefaultConstructor)
{
	const std::string Source = SourceFor("UCLASS()\nclass AHCActor : public AActor\n{\n\tGENERATED_BODY()\n};\n");
	ExpectContains(Source, "\tstatic UObject* Construct(void* Memory, const FObjectInitializer&)\n\t{\n\t\treturn new (Memory) AHCActor();\n\t}\n");
	ExpectContains(Source, "TEXT(\"HCActor\"), sizeof(AHCActor), alignof(AHCActor), &AActor::StaticClass, CLASS_None, &FReflection_AHCActor::Construct,");
	ExpectContains(Source, "\t\tBuilder.Declaration({}, {});\n");
}

TEST(CodeGenerator, ClassesInheritingConstructorsLetTheCompilerChooseOne)
{
	const std::string Source = SourceFor("UCLASS()\nclass UHCChild : public UHCBase\n{\n\tGENERATED_BODY()\n\tusing Super::Super;\n};\n");
	ExpectContains(Source, "\t\tif constexpr (requires { new (Memory) ClassType(Initializer); })\n");
	ExpectContains(Source, "\t\treturn ConstructInherited<UHCChild>(Memory, Initializer);\n");

	const std::string Declared = SourceFor(
		"UCLASS()\nclass UHCChild : public UHCBase\n{\n\tGENERATED_BODY()\n\tusing Super::Super;\n\tUHCChild(const FObjectInitializer& Init);\n};\n");
	EXPECT_EQ(Declared.find("ConstructInherited"), std::string::npos) << "a declared initializer constructor is used directly";
	ExpectContains(Declared, "\t\treturn new (Memory) UHCChild(Initializer);\n");
}
