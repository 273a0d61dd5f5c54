#include "HeaderParser.h"

#include "HeaderToolError.h"
#include "SpecifierParser.h"

#include <cctype>
#include <limits>
#include <optional>

namespace
{
	constexpr size_t NotFound = static_cast<size_t>(-1);

	bool IsOpening(const FToken& Token)
	{
		return Token.Is("(") || Token.Is("[") || Token.Is("{");
	}

	bool IsClosing(const FToken& Token)
	{
		return Token.Is(")") || Token.Is("]") || Token.Is("}");
	}

	/** How deep a declaration scan is inside brackets and, outside them, template arguments. */
	struct FNesting
	{
		int Depth = 0;
		int Angle = 0;

		bool AtTopLevel() const { return Depth == 0 && Angle == 0; }

		void Step(const FToken& Token)
		{
			if (IsOpening(Token))
			{
				++Depth;
			}
			else if (IsClosing(Token))
			{
				--Depth;
			}
			else if (Depth == 0 && Token.Is("<"))
			{
				++Angle;
			}
			else if (Depth == 0 && Token.Is(">"))
			{
				--Angle;
			}
		}
	};

	bool EndsWith(std::string_view Text, std::string_view Suffix)
	{
		return Text.size() >= Suffix.size() && Text.substr(Text.size() - Suffix.size()) == Suffix;
	}

	/** Words that can end a type but never name a parameter. */
	bool IsTypeKeyword(std::string_view Word)
	{
		static constexpr std::string_view Keywords[] = {"const", "volatile", "signed", "unsigned", "char", "short", "int", "long",
			"float", "double", "bool", "void", "auto"};
		for (const std::string_view Keyword : Keywords)
		{
			if (Word == Keyword)
			{
				return true;
			}
		}
		return false;
	}

	bool IsReflectionMacro(std::string_view Word)
	{
		return Word == "UCLASS" || Word == "USTRUCT" || Word == "UENUM" || Word == "UPROPERTY" || Word == "UFUNCTION"
			|| Word == "UPARAM" || Word == "UMETA" || Word == "UINTERFACE";
	}

	/** An integer literal of any base with optional digit separators and u/l suffixes; empty when Text is none or does not fit int64. */
	std::optional<int64_t> ParseIntegerLiteral(std::string_view Text, bool bNegative, bool& bOutOfRange)
	{
		bOutOfRange = false;
		std::string Digits;
		for (const char C : Text)
		{
			if (C != '\'')
			{
				Digits.push_back(C);
			}
		}
		while (!Digits.empty() && std::string_view("uUlL").find(Digits.back()) != std::string_view::npos)
		{
			Digits.pop_back();
		}
		unsigned Base = 10;
		if (Digits.size() > 2 && Digits[0] == '0' && (Digits[1] == 'x' || Digits[1] == 'X'))
		{
			Base = 16;
			Digits.erase(0, 2);
		}
		else if (Digits.size() > 2 && Digits[0] == '0' && (Digits[1] == 'b' || Digits[1] == 'B'))
		{
			Base = 2;
			Digits.erase(0, 2);
		}
		else if (Digits.size() > 1 && Digits[0] == '0')
		{
			Base = 8;
			Digits.erase(0, 1);
		}
		if (Digits.empty())
		{
			return std::nullopt;
		}

		uint64_t Magnitude = 0;
		for (const char C : Digits)
		{
			const int Lower = std::tolower(static_cast<unsigned char>(C));
			unsigned Digit = 0;
			if (std::isdigit(Lower))
			{
				Digit = static_cast<unsigned>(Lower - '0');
			}
			else if (Lower >= 'a' && Lower <= 'f')
			{
				Digit = static_cast<unsigned>(Lower - 'a' + 10);
			}
			else
			{
				return std::nullopt;
			}
			if (Digit >= Base)
			{
				return std::nullopt;
			}
			if (Magnitude > (std::numeric_limits<uint64_t>::max() - Digit) / Base)
			{
				bOutOfRange = true;
				return std::nullopt;
			}
			Magnitude = Magnitude * Base + Digit;
		}

		constexpr uint64_t MaxPositive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
		if (Magnitude > MaxPositive + (bNegative ? 1 : 0))
		{
			bOutOfRange = true;
			return std::nullopt;
		}
		if (!bNegative)
		{
			return static_cast<int64_t>(Magnitude);
		}
		return Magnitude == MaxPositive + 1 ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(Magnitude);
	}
}

FHeaderParser::FHeaderParser(std::string InFile, std::string_view InSource)
	: File(std::move(InFile))
	, Source(FTokenizer(File, InSource).Tokenize())
{
}

FParsedHeader FHeaderParser::Parse()
{
	Scopes.push_back({EScopeKind::Namespace, std::string(), 0});
	while (!Peek().IsEnd())
	{
		const FToken& Token = Peek();
		if (Token.Is("{"))
		{
			Scopes.push_back({EScopeKind::Other, Scopes.back().Namespace, Token.Line});
			++Cursor;
		}
		else if (Token.Is("}"))
		{
			CloseScope();
		}
		else if (Token.IsIdentifier())
		{
			ParseIdentifier();
		}
		else
		{
			++Cursor;
		}
	}
	if (Scopes.size() > 1)
	{
		Fail(Scopes.back().OpenLine, "unbalanced braces: this '{' is never closed");
	}
	return std::move(Result);
}

const FToken& FHeaderParser::TokenAt(size_t Index) const
{
	return Index < Source.Tokens.size() ? Source.Tokens[Index] : Source.Tokens.back();
}

void FHeaderParser::Fail(int Line, const std::string& Reason) const
{
	throw FHeaderToolError(File, Line, Reason);
}

std::string FHeaderParser::TextOf(size_t First, size_t Last) const
{
	if (First >= Last)
	{
		return std::string();
	}
	const size_t Begin = TokenAt(First).Begin;
	const size_t End = TokenAt(Last - 1).End;
	std::string Text;
	bool bPendingSpace = false;
	for (size_t Index = Begin; Index < End; ++Index)
	{
		const char C = Source.CleanText[Index];
		if (std::isspace(static_cast<unsigned char>(C)))
		{
			bPendingSpace = true;
			continue;
		}
		if (bPendingSpace && !Text.empty())
		{
			Text.push_back(' ');
		}
		bPendingSpace = false;
		Text.push_back(C);
	}
	return Text;
}

size_t FHeaderParser::FindMatching(size_t Open) const
{
	std::vector<std::string> Expected;
	for (size_t Index = Open; !TokenAt(Index).IsEnd(); ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (IsOpening(Token))
		{
			Expected.push_back(Token.Is("(") ? ")" : Token.Is("[") ? "]" : "}");
		}
		else if (IsClosing(Token))
		{
			if (Expected.empty() || !Token.Is(Expected.back()))
			{
				return NotFound;
			}
			Expected.pop_back();
			if (Expected.empty())
			{
				return Index;
			}
		}
	}
	return NotFound;
}

size_t FHeaderParser::FindDeclarationEnd(size_t First, const FMacroArguments& Macro) const
{
	int Depth = 0;
	for (size_t Index = First;; ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (Token.IsEnd() || (Depth == 0 && Token.Is("}")))
		{
			Fail(Macro.Line, "expected a declaration ending in ';' after " + Macro.Name);
		}
		if (IsOpening(Token))
		{
			++Depth;
		}
		else if (IsClosing(Token))
		{
			--Depth;
		}
		else if (Depth == 0 && Token.Is(";"))
		{
			return Index;
		}
	}
}

FHeaderParser::FTypeShape FHeaderParser::AnalyseType(size_t First, size_t Last) const
{
	// Only the outermost level counts: 'const' inside TArray<const UObject*> says nothing about
	// the value, and a '*' makes any earlier 'const' apply to the pointee, not the value.
	FTypeShape Shape;
	int Angle = 0;
	for (size_t Index = First; Index < Last; ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (Token.Is("<"))
		{
			++Angle;
		}
		else if (Token.Is(">"))
		{
			--Angle;
		}
		else if (Angle > 0)
		{
			continue;
		}
		else if (Token.Is("*"))
		{
			Shape.bConst = false;
		}
		else if (Token.Is("const"))
		{
			Shape.bConst = true;
		}
		else if (Token.Is("static"))
		{
			Shape.bStatic = true;
		}
		else if (Token.Is("&"))
		{
			Shape.bReference = true;
		}
		else if (Token.Is("&&"))
		{
			Shape.bRvalueReference = true;
		}
	}
	return Shape;
}

void FHeaderParser::SkipAttributes()
{
	while (true)
	{
		if (Peek().Is("[") && Peek(1).Is("["))
		{
			const size_t Close = FindMatching(Cursor);
			if (Close == NotFound)
			{
				Fail(Peek().Line, "unbalanced brackets in attribute");
			}
			Cursor = Close + 1;
		}
		else if (Peek().Is("alignas") && Peek(1).Is("("))
		{
			const size_t Close = FindMatching(Cursor + 1);
			if (Close == NotFound)
			{
				Fail(Peek().Line, "unbalanced parentheses in alignas");
			}
			Cursor = Close + 1;
		}
		else
		{
			return;
		}
	}
}

void FHeaderParser::RequireNamespaceScope(const FToken& Macro) const
{
	const EScopeKind Kind = Scopes.back().Kind;
	if (Kind == EScopeKind::AnonymousNamespace)
	{
		Fail(Macro.Line, Macro.Text + " cannot be used in an anonymous namespace: the generated file must be able to name the type");
	}
	if (Kind != EScopeKind::Namespace)
	{
		Fail(Macro.Line, Macro.Text + " must be declared at namespace scope");
	}
}

FHeaderParser::FMacroArguments FHeaderParser::ReadMacroArguments()
{
	const FToken& Macro = Peek();
	FMacroArguments Arguments;
	Arguments.Name = Macro.Text;
	Arguments.Line = Macro.Line;
	if (!Peek(1).Is("("))
	{
		Fail(Macro.Line, "expected '(' after " + Macro.Text);
	}
	// Specifier lists never hold braces or semicolons, so meeting one means a ')' is missing;
	// stopping there keeps the error on the macro instead of some later declaration.
	const size_t Open = Cursor + 1;
	int Depth = 0;
	for (size_t Index = Open;; ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (Token.IsEnd() || Token.Is(";") || Token.Is("{") || Token.Is("}"))
		{
			Fail(Macro.Line, "unbalanced parentheses in " + Macro.Text + "(...)");
		}
		if (Token.Is("("))
		{
			++Depth;
		}
		else if (Token.Is(")") && --Depth == 0)
		{
			const size_t Begin = TokenAt(Open).End;
			Arguments.Text = Source.CleanText.substr(Begin, Token.Begin - Begin);
			Cursor = Index + 1;
			return Arguments;
		}
	}
}

void FHeaderParser::ParseIdentifier()
{
	const FToken& Token = Peek();
	const std::string& Word = Token.Text;
	if (Word == "namespace")
	{
		ParseNamespace();
	}
	else if (Word == "extern" && Peek(1).Kind == ETokenKind::String && Peek(2).Is("{"))
	{
		OpenExternBlock();
	}
	else if (Word == "UCLASS")
	{
		ParseReflectedType(EReflectedTypeKind::Class);
	}
	else if (Word == "USTRUCT")
	{
		ParseReflectedType(EReflectedTypeKind::Struct);
	}
	else if (Word == "UENUM")
	{
		ParseEnum();
	}
	else if (Word == "UPROPERTY")
	{
		ParseProperty();
	}
	else if (Word == "UFUNCTION")
	{
		ParseFunction();
	}
	else if (Word == "GENERATED_BODY" || Word == "GENERATED_USTRUCT_BODY" || Word == "GENERATED_UCLASS_BODY")
	{
		ParseGeneratedBody();
	}
	else if (Word == "UPARAM")
	{
		Fail(Token.Line, "UPARAM outside the parameter list of a UFUNCTION");
	}
	else if (Word == "UMETA")
	{
		Fail(Token.Line, "UMETA outside the entries of a UENUM");
	}
	else if (Word == "UINTERFACE")
	{
		Fail(Token.Line, "UINTERFACE is not supported");
	}
	else if (InReflectedType() && Word == CurrentType().CppName && Peek(1).Is("(") && !(Cursor > 0 && TokenAt(Cursor - 1).Is("~")))
	{
		NoteConstructor();
	}
	else if (InReflectedType() && Word == "using")
	{
		NoteUsingDeclaration();
	}
	else
	{
		++Cursor;
	}
}

void FHeaderParser::ParseNamespace()
{
	const int Line = Peek().Line;
	size_t Index = Cursor + 1;
	std::string Name;
	while (TokenAt(Index).IsIdentifier())
	{
		if (TokenAt(Index).Is("inline"))
		{
			++Index;
			continue;
		}
		Name += (Name.empty() ? "" : "::") + TokenAt(Index).Text;
		++Index;
		if (!TokenAt(Index).Is("::"))
		{
			break;
		}
		++Index;
	}
	if (!TokenAt(Index).Is("{"))
	{
		// A namespace alias or a using-directive: nothing opens.
		++Cursor;
		return;
	}

	const FScope& Outer = Scopes.back();
	FScope Scope;
	Scope.OpenLine = Line;
	if (Outer.Kind == EScopeKind::Namespace || Outer.Kind == EScopeKind::AnonymousNamespace)
	{
		const bool bAnonymous = Name.empty() || Outer.Kind == EScopeKind::AnonymousNamespace;
		Scope.Kind = bAnonymous ? EScopeKind::AnonymousNamespace : EScopeKind::Namespace;
		Scope.Namespace = Outer.Namespace.empty() ? Name : Name.empty() ? Outer.Namespace : Outer.Namespace + "::" + Name;
	}
	Scopes.push_back(Scope);
	Cursor = Index + 1;
}

void FHeaderParser::OpenExternBlock()
{
	// extern "C++" { ... } keeps the enclosing namespace scope.
	const FScope& Outer = Scopes.back();
	const bool bNamespace = Outer.Kind == EScopeKind::Namespace || Outer.Kind == EScopeKind::AnonymousNamespace;
	Scopes.push_back({bNamespace ? Outer.Kind : EScopeKind::Other, Outer.Namespace, Peek().Line});
	Cursor += 3;
}

void FHeaderParser::CloseScope()
{
	const FToken& Token = Peek();
	if (Scopes.size() == 1)
	{
		Fail(Token.Line, "unbalanced braces: '}' without a matching '{'");
	}
	if (InReflectedType())
	{
		const FReflectedType& Type = CurrentType();
		if (Type.GeneratedBodyLine == 0)
		{
			const char* Macro = Type.Kind == EReflectedTypeKind::Class ? "UCLASS " : "USTRUCT ";
			Fail(Type.Line, Macro + Type.CppName + " has no GENERATED_BODY()");
		}
	}
	Scopes.pop_back();
	++Cursor;
}

void FHeaderParser::ParseReflectedType(EReflectedTypeKind Kind)
{
	const bool bClass = Kind == EReflectedTypeKind::Class;
	const std::string Keyword = bClass ? "class" : "struct";
	RequireNamespaceScope(Peek());
	const FMacroArguments Macro = ReadMacroArguments();

	FReflectedType Type;
	Type.Kind = Kind;
	Type.Namespace = Scopes.back().Namespace;
	Type.Specifiers = FSpecifierParser::ParseSpecifiers(Macro.Text, File, Macro.Line);
	if (!Peek().Is(Keyword))
	{
		Fail(Macro.Line, Macro.Name + " must be followed by a " + Keyword + " definition");
	}
	++Cursor;
	SkipAttributes();
	if (Peek().IsIdentifier() && EndsWith(Peek().Text, "_API") && Peek(1).IsIdentifier())
	{
		++Cursor;
	}
	if (!Peek().IsIdentifier())
	{
		Fail(Peek().Line, "expected a name after '" + Keyword + "'");
	}
	Type.CppName = Peek().Text;
	Type.Line = Peek().Line;
	++Cursor;
	if (Peek().Is("final"))
	{
		++Cursor;
	}
	if (Peek().Is(";"))
	{
		Fail(Type.Line, Macro.Name + " must be followed by the definition of " + Type.CppName + ", not a declaration");
	}
	if (Peek().Is(":"))
	{
		ParseBaseClause(Type);
	}
	if (!Peek().Is("{"))
	{
		Fail(Peek().Line, "expected '{' to open the body of " + Type.CppName);
	}

	const char Prefix = Type.CppName[0];
	if (bClass && (Type.CppName.size() < 2 || (Prefix != 'U' && Prefix != 'A')))
	{
		Fail(Type.Line, "UCLASS name " + Type.CppName + " must start with U or A");
	}
	if (!bClass && (Type.CppName.size() < 2 || Prefix != 'F'))
	{
		Fail(Type.Line, "USTRUCT name " + Type.CppName + " must start with F");
	}
	if (bClass && Type.SuperName.empty())
	{
		Fail(Type.Line, "UCLASS " + Type.CppName + " must derive from a UObject class");
	}
	Type.bAbstract = bClass && Type.Specifiers.Has("Abstract");

	Scopes.push_back({EScopeKind::ReflectedType, Type.Namespace, Peek().Line});
	Result.Types.push_back(std::move(Type));
	++Cursor;
}

void FHeaderParser::ParseBaseClause(FReflectedType& Type)
{
	// Only the first base matters: it is the reflected super type. Commas inside template
	// arguments do not separate bases.
	++Cursor;
	const size_t First = Cursor;
	size_t Last = NotFound;
	int Angle = 0;
	int Depth = 0;
	for (;; ++Cursor)
	{
		const FToken& Token = Peek();
		if (Token.IsEnd() || Token.Is(";") || Token.Is("}"))
		{
			Fail(Type.Line, "expected '{' after the base classes of " + Type.CppName);
		}
		if (Token.Is("<"))
		{
			++Angle;
		}
		else if (Token.Is(">"))
		{
			--Angle;
		}
		else if (Token.Is("("))
		{
			++Depth;
		}
		else if (Token.Is(")"))
		{
			--Depth;
		}
		else if (Angle == 0 && Depth == 0 && (Token.Is(",") || Token.Is("{")))
		{
			if (Last == NotFound)
			{
				Last = Cursor;
			}
			if (Token.Is("{"))
			{
				break;
			}
		}
	}

	bool bPublic = Type.Kind == EReflectedTypeKind::Struct;
	size_t Index = First;
	for (; Index < Last; ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (Token.Is("public"))
		{
			bPublic = true;
		}
		else if (Token.Is("protected") || Token.Is("private"))
		{
			bPublic = false;
		}
		else if (!Token.Is("virtual"))
		{
			break;
		}
	}
	if (Index == Last)
	{
		Fail(Type.Line, "expected a base class name after ':' in " + Type.CppName);
	}
	Type.SuperName = TextOf(Index, Last);
	if (!bPublic)
	{
		Fail(Type.Line, Type.CppName + " must derive publicly from " + Type.SuperName);
	}
}

void FHeaderParser::ParseGeneratedBody()
{
	const FToken& Macro = Peek();
	if (!InReflectedType())
	{
		Fail(Macro.Line, Macro.Text + "() outside the body of a UCLASS or USTRUCT");
	}
	const FMacroArguments Arguments = ReadMacroArguments();
	FReflectedType& Type = CurrentType();
	if (Type.GeneratedBodyLine != 0)
	{
		Fail(Arguments.Line, Type.CppName + " has a second " + Arguments.Name + "()");
	}
	Type.GeneratedBodyLine = Arguments.Line;
}

void FHeaderParser::NoteConstructor()
{
	// Only the first parameter's type matters: const FObjectInitializer& (either const order,
	// optionally ::-qualified), after which a parameter name may follow.
	std::vector<std::string> Words;
	for (size_t Index = Cursor + 2;; ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (Token.IsEnd() || Token.Is(",") || Token.Is(")") || Token.Is("=") || IsOpening(Token))
		{
			break;
		}
		if (!Token.Is("::"))
		{
			Words.push_back(Token.Text);
		}
	}
	if (Words.size() == 4 && Words.back() != "FObjectInitializer")
	{
		Words.pop_back();
	}
	const std::vector<std::string> ConstFirst = {"const", "FObjectInitializer", "&"};
	const std::vector<std::string> ConstSecond = {"FObjectInitializer", "const", "&"};
	if (Words == ConstFirst || Words == ConstSecond)
	{
		CurrentType().bHasInitializerConstructor = true;
	}
	++Cursor;
}

void FHeaderParser::NoteUsingDeclaration()
{
	// using Base::Base; names the base's constructors: the last name repeats the one before it.
	size_t Index = Cursor + 1;
	while (TokenAt(Index).IsIdentifier() || TokenAt(Index).Is("::"))
	{
		++Index;
	}
	if (TokenAt(Index).Is(";") && Index >= Cursor + 4 && TokenAt(Index - 2).Is("::") && TokenAt(Index - 1).IsIdentifier()
		&& TokenAt(Index - 3).Text == TokenAt(Index - 1).Text)
	{
		CurrentType().bInheritsConstructors = true;
	}
	++Cursor;
}

void FHeaderParser::ParseProperty()
{
	const FToken& MacroToken = Peek();
	if (!InReflectedType())
	{
		Fail(MacroToken.Line, "UPROPERTY outside the body of a UCLASS or USTRUCT");
	}
	const FMacroArguments Macro = ReadMacroArguments();
	FReflectedProperty Property;
	Property.Specifiers = FSpecifierParser::ParseSpecifiers(Macro.Text, File, Macro.Line);

	const size_t First = Cursor;
	const size_t End = FindDeclarationEnd(First, Macro);

	// The declarator ends at the initializer, or at whatever makes it something other than a
	// single plain data member.
	size_t Stop = End;
	FNesting Nesting;
	for (size_t Index = First; Index < End; ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (Nesting.AtTopLevel()
			&& (Token.Is("=") || Token.Is("{") || Token.Is(":") || Token.Is("[") || Token.Is(",") || Token.Is("(")))
		{
			Stop = Index;
			break;
		}
		Nesting.Step(Token);
	}

	size_t TypeFirst = First;
	while (TypeFirst < Stop && TokenAt(TypeFirst).Is("mutable"))
	{
		++TypeFirst;
	}
	if (Stop < TypeFirst + 2 || !TokenAt(Stop - 1).IsIdentifier() || IsTypeKeyword(TokenAt(Stop - 1).Text))
	{
		Fail(Macro.Line, "expected a type and a name after UPROPERTY");
	}
	const FToken& Name = TokenAt(Stop - 1);
	Property.Name = Name.Text;
	Property.Line = Name.Line;

	const FToken& StopToken = TokenAt(Stop);
	if (StopToken.Is(":"))
	{
		Fail(Name.Line, "bit-field " + Name.Text + " cannot be a UPROPERTY; use bool");
	}
	if (StopToken.Is("["))
	{
		Fail(Name.Line, "C array " + Name.Text + " cannot be a UPROPERTY; use TArray");
	}
	if (StopToken.Is(","))
	{
		Fail(Name.Line, "UPROPERTY must declare a single member; " + Name.Text + " is followed by another");
	}
	if (StopToken.Is("("))
	{
		Fail(Name.Line, "UPROPERTY must precede a data member; " + Name.Text + " is a function");
	}

	const FTypeShape Shape = AnalyseType(TypeFirst, Stop - 1);
	if (Shape.bStatic)
	{
		Fail(Name.Line, "static member " + Name.Text + " cannot be a UPROPERTY");
	}
	if (Shape.bReference || Shape.bRvalueReference)
	{
		Fail(Name.Line, "reference member " + Name.Text + " cannot be a UPROPERTY");
	}
	if (Shape.bConst)
	{
		Fail(Name.Line, "const member " + Name.Text + " cannot be a UPROPERTY");
	}
	Property.Type = TextOf(TypeFirst, Stop - 1);
	CurrentType().Properties.push_back(std::move(Property));
	Cursor = End + 1;
}

void FHeaderParser::ParseFunction()
{
	const FToken& MacroToken = Peek();
	if (!InReflectedType())
	{
		Fail(MacroToken.Line, "UFUNCTION outside the body of a UCLASS");
	}
	if (CurrentType().Kind == EReflectedTypeKind::Struct)
	{
		Fail(MacroToken.Line, "UFUNCTION is not allowed in a USTRUCT");
	}
	const FMacroArguments Macro = ReadMacroArguments();
	FReflectedFunction Function;
	Function.Line = Macro.Line;
	Function.Specifiers = FSpecifierParser::ParseSpecifiers(Macro.Text, File, Macro.Line);

	while (true)
	{
		if (Peek().Is("static"))
		{
			Function.bStatic = true;
			++Cursor;
		}
		else if (Peek().Is("virtual") || Peek().Is("inline") || Peek().Is("FORCEINLINE") || Peek().Is("FORCENOINLINE"))
		{
			++Cursor;
		}
		else if (Peek().Is("[") && Peek(1).Is("["))
		{
			SkipAttributes();
		}
		else if (Peek().Is("UPARAM"))
		{
			Fail(Peek().Line, "UPARAM on a return value is not supported");
		}
		else
		{
			break;
		}
	}

	const size_t ReturnFirst = Cursor;
	size_t Open = NotFound;
	int Angle = 0;
	for (size_t Index = Cursor; Open == NotFound; ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (Token.IsEnd() || Token.Is(";") || Token.Is("{") || Token.Is("}") || Token.Is("="))
		{
			Fail(Macro.Line, "UFUNCTION declaration has no parameter list");
		}
		if (Token.Is("<"))
		{
			++Angle;
		}
		else if (Token.Is(">"))
		{
			--Angle;
		}
		else if (Token.Is("(") && Angle == 0)
		{
			Open = Index;
		}
	}
	if (Open == ReturnFirst || !TokenAt(Open - 1).IsIdentifier())
	{
		Fail(Macro.Line, "expected a function name before '(' after UFUNCTION");
	}
	const FToken& NameToken = TokenAt(Open - 1);
	Function.Name = NameToken.Text;
	if (Open - 1 == ReturnFirst)
	{
		Fail(NameToken.Line, "UFUNCTION " + Function.Name + " has no return type");
	}
	Function.ReturnType = TextOf(ReturnFirst, Open - 1);
	const FTypeShape ReturnShape = AnalyseType(ReturnFirst, Open - 1);

	const size_t Close = FindMatching(Open);
	if (Close == NotFound)
	{
		Fail(Macro.Line, "unbalanced parentheses in the parameter list of " + Function.Name);
	}
	ParseParams(Open + 1, Close, Function);
	Cursor = Close + 1;

	bool bPure = false;
	bool bHasBody = false;
	while (true)
	{
		const FToken& Token = Peek();
		if (Token.Is("const"))
		{
			Function.bConst = true;
			++Cursor;
		}
		else if (Token.Is("override") || Token.Is("final"))
		{
			++Cursor;
		}
		else if (Token.Is("noexcept"))
		{
			++Cursor;
			if (Peek().Is("("))
			{
				const size_t NoexceptClose = FindMatching(Cursor);
				if (NoexceptClose == NotFound)
				{
					Fail(Token.Line, "unbalanced parentheses after noexcept");
				}
				Cursor = NoexceptClose + 1;
			}
		}
		else if (Token.Is("=") && Peek(1).Text == "0")
		{
			bPure = true;
			Cursor += 2;
		}
		else if (Token.Is(";"))
		{
			++Cursor;
			break;
		}
		else if (Token.Is("{"))
		{
			const size_t BodyClose = FindMatching(Cursor);
			if (BodyClose == NotFound)
			{
				Fail(Token.Line, "unbalanced braces in the body of " + Function.Name);
			}
			Cursor = BodyClose + 1;
			bHasBody = true;
			break;
		}
		else
		{
			Fail(Token.Line, "unexpected '" + Token.Text + "' after the parameter list of UFUNCTION " + Function.Name);
		}
	}

	const bool bImplementable = Function.Specifiers.Has("BlueprintImplementableEvent");
	const bool bNative = Function.Specifiers.Has("BlueprintNativeEvent");
	if (bImplementable && bNative)
	{
		Fail(Macro.Line, Function.Name + " cannot be both BlueprintImplementableEvent and BlueprintNativeEvent");
	}
	if (bImplementable || bNative)
	{
		Function.Kind = bNative ? EFunctionKind::NativeEvent : EFunctionKind::ImplementableEvent;
		if (Function.bStatic)
		{
			Fail(Macro.Line, "event " + Function.Name + " cannot be static");
		}
		if (bHasBody || bPure)
		{
			Fail(Macro.Line, "event " + Function.Name + " must only be declared: its body is generated"
				+ (bNative ? "; implement " + Function.Name + "_Implementation instead" : std::string()));
		}
		if (ReturnShape.bReference || ReturnShape.bRvalueReference)
		{
			Fail(Macro.Line, "event " + Function.Name + " cannot return a reference");
		}
	}
	for (const FReflectedFunction& Other : CurrentType().Functions)
	{
		if (Other.Name == Function.Name)
		{
			Fail(Macro.Line, "UFUNCTION " + Function.Name + " is declared twice; overloads cannot be reflected");
		}
	}
	CurrentType().Functions.push_back(std::move(Function));
}

void FHeaderParser::ParseParams(size_t First, size_t Last, FReflectedFunction& Function)
{
	if (First == Last || (Last == First + 1 && TokenAt(First).Is("void")))
	{
		return;
	}
	// Angle brackets group only in the type part: after a parameter's '=' a '<' is an operator.
	size_t ParamFirst = First;
	int Depth = 0;
	int Angle = 0;
	bool bInDefault = false;
	for (size_t Index = First; Index <= Last; ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (Index == Last || (Depth == 0 && Angle == 0 && Token.Is(",")))
		{
			Function.Params.push_back(ParseParam(ParamFirst, Index, Function, Function.Params.size() + 1));
			ParamFirst = Index + 1;
			bInDefault = false;
		}
		else if (IsOpening(Token))
		{
			++Depth;
		}
		else if (IsClosing(Token))
		{
			--Depth;
		}
		else if (Depth == 0 && Token.Is("="))
		{
			bInDefault = true;
		}
		else if (Depth == 0 && !bInDefault && Token.Is("<"))
		{
			++Angle;
		}
		else if (Depth == 0 && !bInDefault && Token.Is(">"))
		{
			--Angle;
		}
	}
}

FReflectedParam FHeaderParser::ParseParam(size_t First, size_t Last, const FReflectedFunction& Function, size_t Number)
{
	FReflectedParam Param;
	const int Line = First < Last ? TokenAt(First).Line : Function.Line;
	const std::string Which = "parameter " + std::to_string(Number) + " of " + Function.Name;
	size_t TypeFirst = First;
	bool bRefSpecifier = false;
	if (TokenAt(First).Is("UPARAM"))
	{
		Cursor = First;
		const FMacroArguments Macro = ReadMacroArguments();
		Param.Specifiers = FSpecifierParser::ParseSpecifiers(Macro.Text, File, Macro.Line);
		bRefSpecifier = Param.Specifiers.Has("ref");
		TypeFirst = Cursor;
	}

	// Brackets or parentheses outside template arguments make an array or a function pointer,
	// which have no parameter block member to copy into.
	size_t End = Last;
	FNesting Nesting;
	for (size_t Index = TypeFirst; Index < Last; ++Index)
	{
		const FToken& Token = TokenAt(Index);
		if (Nesting.AtTopLevel() && Token.Is("="))
		{
			End = Index;
			break;
		}
		if (Nesting.Angle == 0 && (Token.Is("[") || Token.Is("(")))
		{
			Fail(Line, "the type of " + Which + " cannot be reflected");
		}
		Nesting.Step(Token);
	}
	if (End < TypeFirst + 2 || !TokenAt(End - 1).IsIdentifier() || IsTypeKeyword(TokenAt(End - 1).Text))
	{
		Fail(Line, Which + " needs a type and a name");
	}
	Param.Name = TokenAt(End - 1).Text;
	Param.Type = TextOf(TypeFirst, End - 1);
	if (Param.Name == "ReturnValue")
	{
		Fail(Line, "parameter name ReturnValue of " + Function.Name + " is reserved for the return value");
	}

	const FTypeShape Shape = AnalyseType(TypeFirst, End - 1);
	if (Shape.bRvalueReference)
	{
		Fail(Line, "rvalue reference parameter " + Param.Name + " of " + Function.Name + " cannot be reflected");
	}
	if (bRefSpecifier && !Shape.bReference)
	{
		Fail(Line, "UPARAM(ref) on parameter " + Param.Name + " of " + Function.Name + " needs a reference type");
	}
	if (!Shape.bReference)
	{
		Param.Passing = EParamPassing::Value;
	}
	else if (Shape.bConst)
	{
		Param.Passing = EParamPassing::ConstReference;
	}
	else
	{
		Param.Passing = bRefSpecifier ? EParamPassing::Reference : EParamPassing::OutReference;
	}
	return Param;
}

void FHeaderParser::ParseEnum()
{
	RequireNamespaceScope(Peek());
	const FMacroArguments Macro = ReadMacroArguments();
	FReflectedEnum Enum;
	Enum.Namespace = Scopes.back().Namespace;
	Enum.Specifiers = FSpecifierParser::ParseSpecifiers(Macro.Text, File, Macro.Line);
	if (!Peek().Is("enum"))
	{
		Fail(Macro.Line, "UENUM must be followed by an enum definition");
	}
	++Cursor;
	Enum.bScoped = Peek().Is("class") || Peek().Is("struct");
	if (Enum.bScoped)
	{
		++Cursor;
	}
	SkipAttributes();
	if (!Peek().IsIdentifier())
	{
		Fail(Peek().Line, "expected a name after 'enum'");
	}
	Enum.CppName = Peek().Text;
	Enum.Line = Peek().Line;
	++Cursor;
	if (Peek().Is(":"))
	{
		const size_t First = ++Cursor;
		while (!Peek().IsEnd() && !Peek().Is("{") && !Peek().Is(";") && !Peek().Is("}"))
		{
			++Cursor;
		}
		if (Cursor == First)
		{
			Fail(Enum.Line, "expected the underlying type of " + Enum.CppName + " after ':'");
		}
		Enum.UnderlyingType = TextOf(First, Cursor);
	}
	if (Peek().Is(";"))
	{
		Fail(Enum.Line, "UENUM must be followed by the definition of " + Enum.CppName + ", not a declaration");
	}
	if (!Peek().Is("{"))
	{
		Fail(Peek().Line, "expected '{' to open the entries of " + Enum.CppName);
	}
	if (!Enum.bScoped && Enum.UnderlyingType.empty())
	{
		Fail(Enum.Line, "unscoped enum " + Enum.CppName + " needs a fixed underlying type (enum " + Enum.CppName
			+ " : uint8) so that it can be forward-declared");
	}
	++Cursor;

	int64_t NextValue = 0;
	bool bNextOverflows = false;
	while (!Peek().Is("}"))
	{
		const FToken& NameToken = Peek();
		if (NameToken.IsEnd())
		{
			Fail(Enum.Line, "unbalanced braces: the entries of " + Enum.CppName + " are never closed");
		}
		if (!NameToken.IsIdentifier() || IsReflectionMacro(NameToken.Text))
		{
			Fail(NameToken.Line, "expected an entry name in " + Enum.CppName + " but found '" + NameToken.Text + "'");
		}
		FReflectedEnumEntry Entry;
		Entry.Name = NameToken.Text;
		++Cursor;

		bool bHasMetaData = false;
		const auto ReadEntryMetaData = [&]
		{
			if (!Peek().Is("UMETA"))
			{
				return;
			}
			if (bHasMetaData)
			{
				Fail(Peek().Line, Enum.CppName + "::" + Entry.Name + " has a second UMETA");
			}
			const FMacroArguments Meta = ReadMacroArguments();
			Entry.MetaData = FSpecifierParser::ParseMetaData(Meta.Text, File, Meta.Line);
			bHasMetaData = true;
		};
		ReadEntryMetaData();
		if (Peek().Is("="))
		{
			++Cursor;
			Entry.Value = ParseEnumValue(Enum, NameToken);
		}
		else
		{
			if (bNextOverflows)
			{
				Fail(NameToken.Line, "value of " + Enum.CppName + "::" + Entry.Name + " does not fit in int64");
			}
			Entry.Value = NextValue;
		}
		ReadEntryMetaData();
		bNextOverflows = Entry.Value == std::numeric_limits<int64_t>::max();
		NextValue = bNextOverflows ? Entry.Value : Entry.Value + 1;
		Enum.Entries.push_back(std::move(Entry));

		if (Peek().Is(","))
		{
			++Cursor;
		}
		else if (!Peek().Is("}"))
		{
			Fail(Peek().Line, "expected ',' or '}' after " + Enum.CppName + "::" + NameToken.Text + " but found '" + Peek().Text + "'");
		}
	}
	++Cursor;
	Result.Enums.push_back(std::move(Enum));
}

int64_t FHeaderParser::ParseEnumValue(const FReflectedEnum& Enum, const FToken& EntryName)
{
	const std::string Entry = Enum.CppName + "::" + EntryName.Text;
	bool bNegative = false;
	if (Peek().Is("-") || Peek().Is("+"))
	{
		bNegative = Peek().Is("-");
		++Cursor;
	}
	const FToken& Literal = Peek();
	const FToken& After = Peek(1);
	bool bOutOfRange = false;
	std::optional<int64_t> Value;
	if (Literal.Kind == ETokenKind::Number && (After.Is(",") || After.Is("}") || After.Is("UMETA")))
	{
		Value = ParseIntegerLiteral(Literal.Text, bNegative, bOutOfRange);
	}
	if (bOutOfRange)
	{
		Fail(EntryName.Line, "value of " + Entry + " does not fit in int64");
	}
	if (!Value)
	{
		Fail(EntryName.Line, "value of " + Entry + " must be an integer literal");
	}
	++Cursor;
	return *Value;
}
