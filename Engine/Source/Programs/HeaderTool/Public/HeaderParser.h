#pragma once

// FHeaderParser: finds the reflected declarations of one header. It walks the tokens keeping
// a stack of brace scopes, so it knows whether a macro stands at namespace scope, directly in
// the body of a reflected type or somewhere else (a function body, a nested type), and checks
// each declaration the generated code will rely on. The first problem ends the parse with an
// FHeaderToolError that names the line.

#include "ReflectionModel.h"
#include "Tokenizer.h"

#include <string>
#include <string_view>
#include <vector>

class FHeaderParser
{
public:
	/** File names the header in error messages. */
	FHeaderParser(std::string InFile, std::string_view Source);

	FParsedHeader Parse();

private:
	enum class EScopeKind
	{
		Namespace,
		AnonymousNamespace,
		ReflectedType,
		Other,
	};

	struct FScope
	{
		EScopeKind Kind = EScopeKind::Other;
		std::string Namespace;
		int OpenLine = 0;
	};

	struct FMacroArguments
	{
		std::string Name;
		std::string Text;
		int Line = 0;
	};

	/** What a run of type tokens says about references and constness, looking only outside template arguments. */
	struct FTypeShape
	{
		bool bReference = false;
		bool bRvalueReference = false;
		/** The value itself is const: the referenced type for a reference, the object for anything else. */
		bool bConst = false;
		bool bStatic = false;
	};

	const FToken& TokenAt(size_t Index) const;
	const FToken& Peek(size_t Ahead = 0) const { return TokenAt(Cursor + Ahead); }
	[[noreturn]] void Fail(int Line, const std::string& Reason) const;
	/** The source text of tokens [First, Last) with each run of whitespace made one space. */
	std::string TextOf(size_t First, size_t Last) const;
	/** Index of the bracket closing the one at Open, npos when it is never closed. */
	size_t FindMatching(size_t Open) const;
	/** Index of the ';' ending the member declaration starting at First. */
	size_t FindDeclarationEnd(size_t First, const FMacroArguments& Macro) const;
	FTypeShape AnalyseType(size_t First, size_t Last) const;
	void SkipAttributes();
	void RequireNamespaceScope(const FToken& Macro) const;
	FReflectedType& CurrentType() { return Result.Types.back(); }
	bool InReflectedType() const { return Scopes.back().Kind == EScopeKind::ReflectedType; }

	/** Reads NAME(...) at the cursor and moves past it. */
	FMacroArguments ReadMacroArguments();

	void ParseIdentifier();
	void ParseNamespace();
	void OpenExternBlock();
	void CloseScope();
	void ParseReflectedType(EReflectedTypeKind Kind);
	void ParseBaseClause(FReflectedType& Type);
	void ParseGeneratedBody();
	void NoteConstructor();
	void NoteUsingDeclaration();
	void ParseProperty();
	void ParseFunction();
	void ParseParams(size_t First, size_t Last, FReflectedFunction& Function);
	FReflectedParam ParseParam(size_t First, size_t Last, const FReflectedFunction& Function, size_t Number);
	void ParseEnum();
	int64_t ParseEnumValue(const FReflectedEnum& Enum, const FToken& EntryName);

	std::string File;
	FTokenizedSource Source;
	size_t Cursor = 0;
	std::vector<FScope> Scopes;
	FParsedHeader Result;
};
