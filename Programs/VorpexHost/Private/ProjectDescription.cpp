#include "ProjectDescription.h"

#include "Internationalization/Text.h"
#include "JsonFieldReader.h"
#include "Misc/FileHelper.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"

#include <string_view>
#include <utility>

namespace
{
	using FJson = nlohmann::json;

	const TCHAR* const ProjectFileName = TEXT("project.json");
	/** What the engine refuses in object names. */
	const TCHAR* const InvalidNameCharacters = TEXT("\"' ,/.:|&!~\n\r\t@#(){}[]=;^%$`");

	enum class EAssetKind
	{
		/** A JSON data asset. */
		Data,
		/** A skeletal mesh or an animation, read from glTF. */
		Gltf,
	};

	using FFieldReader = TJsonFieldReader<FJson>;

	/** Reads the values of project.json; the first failure names the key and the reason. */
	class FProjectReader : public FFieldReader
	{
	public:
		/** Reads a string that, when bRequired, must be there and not be empty. */
		bool ReadString(const FJson& Object, const FString& Prefix, const char* Key, bool bRequired, FString& OutValue)
		{
			const FJson* Value = Find(Object, Prefix, Key, bRequired);
			if (!Value)
			{
				return !HasFailed();
			}
			const FString Place = Member(Prefix, Key);
			if (!Expect(*Value, Place, Value->is_string(), "a string"))
			{
				return false;
			}
			OutValue = FString(Value->get<std::string>());
			return !(bRequired && OutValue.IsEmpty()) || Fail(Place, TEXT("required, but empty"));
		}

		bool ReadObjectPath(const FJson& Object, const FString& Prefix, const char* Key, bool bRequired, FString& OutValue)
		{
			if (!ReadString(Object, Prefix, Key, bRequired, OutValue))
			{
				return false;
			}
			return OutValue.IsEmpty() || OutValue.StartsWith(TEXT("/Game/"), ESearchCase::CaseSensitive) ||
				   Fail(Member(Prefix, Key), FString::Printf(TEXT("'%s' is not an object path under /Game/"), *OutValue));
		}

		bool ReadAttachments(const FJson& Root, const FString& ContentDir, TArray<FProjectAttachment>& OutAttachments)
		{
			const FJson* List = Find(Root, FString(), "attachments", false);
			if (!List)
			{
				return true;
			}
			if (!Expect(*List, TEXT("attachments"), List->is_array(), "a list"))
			{
				return false;
			}
			for (int32 Index = 0; Index < int32(List->size()); ++Index)
			{
				const FString Place = Element(TEXT("attachments"), Index);
				const FJson& Entry = (*List)[Index];
				FProjectAttachment& Attachment = OutAttachments.AddDefaulted_GetRef();
				if (!Expect(Entry, Place, Entry.is_object(), "an object") || !CheckKeys(Entry, Place, {"component", "mesh", "cullMasks", "vertexCache", "points"}) ||
					!ReadString(Entry, Place, "component", true, Attachment.Component) ||
					!CheckComponentName(OutAttachments, Member(Place, "component")) || !ReadObjectPath(Entry, Place, "mesh", true, Attachment.Mesh) ||
					!ReadObjectPath(Entry, Place, "cullMasks", false, Attachment.CullMasks) ||
					!ReadObjectPath(Entry, Place, "vertexCache", false, Attachment.VertexCache) ||
					!ReadString(Entry, Place, "points", false, Attachment.Points) || !CheckPoints(Attachment.Points, ContentDir, Member(Place, "points")))
				{
					return false;
				}
			}
			return true;
		}

	private:
		/** The last attachment's component name becomes an object name beside the body's and the others'. */
		bool CheckComponentName(const TArray<FProjectAttachment>& Attachments, const FString& Place)
		{
			const FString& Name = Attachments.Last().Component;
			for (const TCHAR Character : Name.ToView())
			{
				if (FString(InvalidNameCharacters).ToView().find(Character) != std::string_view::npos)
				{
					return Fail(Place, FString::Printf(TEXT("'%s' holds '%c', which component names cannot hold"), *Name, Character));
				}
			}
			if (Name.Equals(FProjectDescription::BodyComponentName, ESearchCase::IgnoreCase))
			{
				return Fail(Place, FString::Printf(TEXT("'%s' is the body's component name"), *Name));
			}
			for (int32 Index = 0; Index < Attachments.Num() - 1; ++Index)
			{
				if (Attachments[Index].Component.Equals(Name, ESearchCase::IgnoreCase))
				{
					return Fail(Place, FString::Printf(TEXT("'%s' is taken by attachments[%d]"), *Name, Index));
				}
			}
			return true;
		}

		bool CheckPoints(const FString& Points, const FString& ContentDir, const FString& Place)
		{
			if (Points.IsEmpty())
			{
				return true;
			}
			const FString Full = FPaths::ConvertRelativePathToFull(ContentDir, Points);
			if (!FPaths::IsRelative(Points) || !Full.StartsWith(ContentDir + TEXT("/"), ESearchCase::CaseSensitive))
			{
				return Fail(Place, FString::Printf(TEXT("'%s' is not a path inside the content folder, relative to it"), *Points));
			}
			return FPaths::FileExists(Full) || Fail(Place, FString::Printf(TEXT("no such file %s"), *Full));
		}
	};

	/** Checks that ObjectPath is a valid package path of the mounted content whose file of Kind exists. */
	bool CheckObjectPath(const FString& ObjectPath, EAssetKind Kind, FString& OutReason)
	{
		const FString Package = FPackageName::ObjectPathToPackageName(ObjectPath);
		FText Reason;
		if (!FPackageName::IsValidLongPackageName(Package, false, &Reason))
		{
			OutReason = FString::Printf(TEXT("'%s' is not a valid object path: %s"), *ObjectPath, *Reason.ToString());
			return false;
		}
		const FString ShortName = FPackageName::GetShortName(Package);
		if (Package != ObjectPath && ObjectPath.Mid(Package.Len() + 1) != ShortName)
		{
			OutReason = FString::Printf(TEXT("'%s' names an asset other than %s, the only one its package holds"), *ObjectPath, *ShortName);
			return false;
		}
		const TArray<FString> Extensions = Kind == EAssetKind::Data ? TArray<FString>{TEXT(".json")} : TArray<FString>{TEXT(".glb"), TEXT(".gltf")};
		TArray<FString> Tried;
		for (const FString& Extension : Extensions)
		{
			FString Filename;
			FPackageName::TryConvertLongPackageNameToFilename(Package, Filename, Extension);
			if (FPaths::FileExists(Filename))
			{
				return true;
			}
			Tried.Add(Filename);
		}
		OutReason = FString::Printf(TEXT("'%s' names no file (no %s)"), *ObjectPath, *FString::Join(Tried, TEXT(" or ")));
		return false;
	}
}

bool FProjectDescription::Read(const FString& ProjectDir, FProjectDescription& OutProject, FString& OutError)
{
	FProjectDescription Project;
	Project.ProjectDir = FPaths::ConvertRelativePathToFull(ProjectDir);
	Project.ContentDir = FPaths::Combine(Project.ProjectDir, TEXT("Content"));
	Project.File = FPaths::Combine(Project.ProjectDir, ProjectFileName);
	if (!FPaths::DirectoryExists(Project.ProjectDir))
	{
		OutError = FString::Printf(TEXT("%s: no such project folder"), *Project.ProjectDir);
		return false;
	}
	FString Text;
	if (!FPaths::FileExists(Project.File) || !FFileHelper::LoadFileToString(Text, *Project.File))
	{
		OutError = FString::Printf(TEXT("%s: not a project folder: it has no readable %s"), *Project.ProjectDir, ProjectFileName);
		return false;
	}
	if (!FPaths::DirectoryExists(Project.ContentDir))
	{
		OutError = FString::Printf(TEXT("%s: the project has no Content folder"), *Project.ProjectDir);
		return false;
	}

	FJson Root;
	try
	{
		Root = FJson::parse(Text.ToStdString());
	}
	catch (const FJson::exception& Error)
	{
		OutError = FString::Printf(TEXT("%s: %s"), *Project.File, *FFieldReader::Describe(Error));
		return false;
	}
	FProjectReader Reader;
	const FString Top;
	const bool bRead = Reader.Expect(Root, TEXT("the top level"), Root.is_object(), "an object") &&
					   Reader.CheckKeys(Root, Top,
						   {"name", "description", "catalog", "descriptor", "editorConfig", "skinComposition", "body", "animation", "attachments"}) &&
					   Reader.ReadString(Root, Top, "name", true, Project.Name) &&
					   Reader.ReadString(Root, Top, "description", false, Project.Description) &&
					   Reader.ReadObjectPath(Root, Top, "catalog", true, Project.Catalog) &&
					   Reader.ReadObjectPath(Root, Top, "descriptor", true, Project.Descriptor) &&
					   Reader.ReadObjectPath(Root, Top, "editorConfig", true, Project.EditorConfig) &&
					   Reader.ReadObjectPath(Root, Top, "skinComposition", true, Project.SkinComposition) &&
					   Reader.ReadObjectPath(Root, Top, "body", true, Project.Body) &&
					   Reader.ReadObjectPath(Root, Top, "animation", false, Project.Animation) &&
					   Reader.ReadAttachments(Root, Project.ContentDir, Project.Attachments);
	if (!bRead)
	{
		OutError = FString::Printf(TEXT("%s: %s"), *Project.File, *Reader.GetError());
		return false;
	}
	OutProject = std::move(Project);
	return true;
}

bool FProjectDescription::CheckContent(FString& OutError) const
{
	struct FReference
	{
		FString Place;
		const FString* ObjectPath;
		EAssetKind Kind;
	};
	TArray<FReference> References = {{TEXT("catalog"), &Catalog, EAssetKind::Data}, {TEXT("descriptor"), &Descriptor, EAssetKind::Data},
		{TEXT("editorConfig"), &EditorConfig, EAssetKind::Data}, {TEXT("skinComposition"), &SkinComposition, EAssetKind::Data},
		{TEXT("body"), &Body, EAssetKind::Gltf}, {TEXT("animation"), &Animation, EAssetKind::Gltf}};
	for (int32 Index = 0; Index < Attachments.Num(); ++Index)
	{
		const FString Prefix = FString::Printf(TEXT("attachments[%d]."), Index);
		References.Add({Prefix + TEXT("mesh"), &Attachments[Index].Mesh, EAssetKind::Gltf});
		References.Add({Prefix + TEXT("cullMasks"), &Attachments[Index].CullMasks, EAssetKind::Data});
		References.Add({Prefix + TEXT("vertexCache"), &Attachments[Index].VertexCache, EAssetKind::Data});
	}
	for (const FReference& Reference : References)
	{
		FString Reason;
		if (!Reference.ObjectPath->IsEmpty() && !CheckObjectPath(*Reference.ObjectPath, Reference.Kind, Reason))
		{
			OutError = FString::Printf(TEXT("%s: %s: %s"), *File, *Reference.Place, *Reason);
			return false;
		}
	}
	return true;
}
