#pragma once

#include <QString>
#include <functional>

namespace bravel {

class CatalogController;

enum class EditorMode { Add, Edit };
// Opens the entry editor modally. It leaves its result in gSelectedFiles and in the main
// window's detail labels (source and backup folder).
using EditorRunner = std::function<void(EditorMode mode)>;

// Adding and editing entries through the editor.
void but_source_Click(CatalogController& controller, const EditorRunner& runEditor);
void but_Edit_Click(CatalogController& controller, const EditorRunner& runEditor);

// Removes the selected entries from the catalog after asking; no file is touched.
void but_delete_Click(CatalogController& controller);

enum class DeleteMode { Local, Original };
// Deletes the backup copies (Local) or the source files (Original) of the selected rows.
void mDeleteFiles(CatalogController& controller, DeleteMode mode);

// Removes folder and each folder above it while they are empty. Never removes "/", a mount
// point or the user's home folder.
void mRemoveEmptyFolders(const QString& folder);

}  // namespace bravel
