#pragma once

// FCodeGenerator: writes X.generated.h and X.gen.cpp for one parsed header X.h. The generated
// header declares what GENERATED_BODY() pastes into each type and forward-declares the
// template specializations other headers need; the generated source builds the reflection
// data through CoreUObject's builders (UObject/GeneratedCppIncludes.h) and registers the
// types while the module loads.

#include "ReflectionModel.h"

#include <string>
#include <string_view>

class FCodeGenerator
{
public:
	/**
	 * ModuleName gives the package ("/Script/<ModuleName>") and the file id; BaseName is the
	 * header's file name without ".h"; IncludePath is how the generated source includes it.
	 */
	FCodeGenerator(std::string InModuleName, std::string InBaseName, std::string InIncludePath);

	std::string GenerateHeader(const FParsedHeader& Header) const;
	std::string GenerateSource(const FParsedHeader& Header) const;

	/** The CURRENT_FILE_ID of the header: FID_<Module>_<BaseName>_h, non-identifier characters as '_'. */
	const std::string& GetFileId() const { return FileId; }

	/** Text for inside a C++ string literal: quotes, backslashes and control characters escaped. */
	static std::string EscapeString(std::string_view Text);

private:
	std::string Banner() const;
	void WriteClassDeclarations(std::string& Out, const FReflectedType& Type) const;
	void WriteStructDeclarations(std::string& Out, const FReflectedType& Type) const;
	void WriteEnumDeclarations(std::string& Out, const FReflectedEnum& Enum) const;
	void WriteStruct(std::string& Out, const FReflectedType& Type) const;
	void WriteClass(std::string& Out, const FReflectedType& Type) const;
	void WriteFunctionParms(std::string& Out, const FReflectedFunction& Function) const;
	void WriteThunk(std::string& Out, const FReflectedType& Type, const FReflectedFunction& Function) const;
	void WriteFunctionRegistration(std::string& Out, const FReflectedFunction& Function) const;
	void WriteEventBody(std::string& Out, const FReflectedType& Type, const FReflectedFunction& Function) const;
	void WriteEnum(std::string& Out, const FReflectedEnum& Enum) const;
	void WriteRegistration(std::string& Out, const FParsedHeader& Header) const;

	std::string ModuleName;
	std::string IncludePath;
	std::string FileId;
	std::string PackageName;
};
