// The GTK side: the values go onto the ATK object of the widget that takes
// the keyboard (the entry of a text control, the drawing area of a skinned
// control), which the accessibility bridge hands to the screen reader.
//
// ATK computes states and children in class functions, and wxWidgets' drawn
// controls are plain containers. So the first time a control needs a state
// (checked) or rows of its own, its ATK object is moved to a subclass of its
// own class made here, which adds no data and only overrides those two
// questions; everything else is answered by the original class.
#include "ui/skin/AccessibleInfo.h"

#include <atk/atk.h>
#include <gtk/gtk.h>
#include <wx/window.h>

#include <map>
#include <string>

namespace veradex {

namespace {

struct ExtraInfo {
  bool hasChecked = false;
  bool checked = false;
  std::vector<AtkObject*> rows;  // owned
};

GQuark ExtraQuark() {
  static const GQuark quark = g_quark_from_static_string("veradex-accessible-extra");
  return quark;
}

void FreeExtra(gpointer data) {
  auto* extra = static_cast<ExtraInfo*>(data);
  for (AtkObject* row : extra->rows) g_object_unref(row);
  delete extra;
}

ExtraInfo* FindExtra(AtkObject* object) {
  return static_cast<ExtraInfo*>(g_object_get_qdata(G_OBJECT(object), ExtraQuark()));
}

// ---- a row of a list: a plain ATK object with a parent, a name and states ----

struct RowAccessible {
  AtkObject parent;
  gint index;
  gboolean checked;
};
struct RowAccessibleClass {
  AtkObjectClass parent;
};

gint RowIndexInParent(AtkObject* object) { return reinterpret_cast<RowAccessible*>(object)->index; }

AtkStateSet* RowStateSet(AtkObject* object) {
  AtkStateSet* states = atk_state_set_new();
  for (AtkStateType state : {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_VISIBLE, ATK_STATE_SHOWING,
                             ATK_STATE_SELECTABLE, ATK_STATE_CHECKABLE})
    atk_state_set_add_state(states, state);
  if (reinterpret_cast<RowAccessible*>(object)->checked) atk_state_set_add_state(states, ATK_STATE_CHECKED);
  return states;
}

void RowClassInit(gpointer klass, gpointer) {
  AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
  atk->get_index_in_parent = RowIndexInParent;
  atk->ref_state_set = RowStateSet;
}

GType RowAccessibleType() {
  static GType type = 0;
  if (type == 0) {
    GTypeInfo info = {};
    info.class_size = sizeof(RowAccessibleClass);
    info.class_init = RowClassInit;
    info.instance_size = sizeof(RowAccessible);
    type = g_type_register_static(ATK_TYPE_OBJECT, "VeradexRowAccessible", &info, GTypeFlags(0));
  }
  return type;
}

// ---- the subclass that answers states and children from ExtraInfo ----

AtkObjectClass* OriginalClass(AtkObject* object) {
  return ATK_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)));
}

AtkStateSet* ExtendedStateSet(AtkObject* object) {
  AtkStateSet* states = OriginalClass(object)->ref_state_set(object);
  const ExtraInfo* extra = FindExtra(object);
  if (extra != nullptr && extra->hasChecked) {
    atk_state_set_add_state(states, ATK_STATE_CHECKABLE);
    if (extra->checked) {
      atk_state_set_add_state(states, ATK_STATE_CHECKED);
      atk_state_set_add_state(states, ATK_STATE_SELECTED);
    } else {
      atk_state_set_remove_state(states, ATK_STATE_CHECKED);
      atk_state_set_remove_state(states, ATK_STATE_SELECTED);
    }
  }
  return states;
}

gint ExtendedChildCount(AtkObject* object) {
  const ExtraInfo* extra = FindExtra(object);
  const gint own = OriginalClass(object)->get_n_children(object);
  return own + (extra != nullptr ? static_cast<gint>(extra->rows.size()) : 0);
}

AtkObject* ExtendedChild(AtkObject* object, gint index) {
  const gint own = OriginalClass(object)->get_n_children(object);
  if (index < own) return OriginalClass(object)->ref_child(object, index);
  const ExtraInfo* extra = FindExtra(object);
  const auto row = static_cast<std::size_t>(index - own);
  if (extra == nullptr || index < 0 || row >= extra->rows.size()) return nullptr;
  return ATK_OBJECT(g_object_ref(extra->rows[row]));
}

void ExtendedClassInit(gpointer klass, gpointer) {
  AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
  atk->ref_state_set = ExtendedStateSet;
  atk->get_n_children = ExtendedChildCount;
  atk->ref_child = ExtendedChild;
}

// Moves the object to the extended subclass of its class (once) and returns
// its extra information.
ExtraInfo& Extend(AtkObject* object) {
  static std::map<GType, GType> extendedTypes;
  const GType original = G_OBJECT_TYPE(object);
  bool isExtended = false;
  for (const auto& pair : extendedTypes)
    if (pair.second == original) isExtended = true;
  if (!isExtended) {
    GType& extended = extendedTypes[original];
    if (extended == 0) {
      GTypeQuery query;
      g_type_query(original, &query);
      GTypeInfo info = {};
      info.class_size = static_cast<guint16>(query.class_size);
      info.class_init = ExtendedClassInit;
      info.instance_size = static_cast<guint16>(query.instance_size);
      const std::string name = std::string("VeradexExtended") + g_type_name(original);
      extended = g_type_register_static(original, name.c_str(), &info, GTypeFlags(0));
    }
    // The subclass adds no instance data, so the object's memory fits it as is.
    reinterpret_cast<GTypeInstance*>(object)->g_class = static_cast<GTypeClass*>(g_type_class_ref(extended));
  }
  ExtraInfo* extra = FindExtra(object);
  if (extra == nullptr) {
    extra = new ExtraInfo;
    g_object_set_qdata_full(G_OBJECT(object), ExtraQuark(), extra, FreeExtra);
  }
  return *extra;
}

// The widget a screen reader should meet: the one that takes the keyboard.
AtkObject* AccessibleOf(wxWindow* control) {
  if (control == nullptr) return nullptr;
  GtkWidget* widget = control->GetConnectWidget();
  if (widget == nullptr) widget = control->GetHandle();
  return widget != nullptr ? gtk_widget_get_accessible(widget) : nullptr;
}

// A top-level window is met twice: as the window the desktop lists and as its
// surface, which takes the keyboard when no control does. Both say the same.
AtkObject* WindowAccessibleOf(wxWindow* control) {
  if (control == nullptr || !control->IsTopLevel() || control->GetHandle() == nullptr) return nullptr;
  return gtk_widget_get_accessible(control->GetHandle());
}

AtkRole AtkRoleOf(AccessibleInfo::Role role) {
  switch (role) {
    case AccessibleInfo::Role::kPushButton:
      return ATK_ROLE_PUSH_BUTTON;
    case AccessibleInfo::Role::kToggleButton:
      return ATK_ROLE_TOGGLE_BUTTON;
    case AccessibleInfo::Role::kCheckBox:
      return ATK_ROLE_CHECK_BOX;
    case AccessibleInfo::Role::kText:
      return ATK_ROLE_ENTRY;
    case AccessibleInfo::Role::kPasswordText:
      return ATK_ROLE_PASSWORD_TEXT;
    case AccessibleInfo::Role::kLabel:
      return ATK_ROLE_LABEL;
    case AccessibleInfo::Role::kTable:
      return ATK_ROLE_TABLE;
    case AccessibleInfo::Role::kProgressBar:
      return ATK_ROLE_PROGRESS_BAR;
    case AccessibleInfo::Role::kAlert:
      return ATK_ROLE_ALERT;
    case AccessibleInfo::Role::kDialog:
      return ATK_ROLE_DIALOG;
    case AccessibleInfo::Role::kFrame:
      return ATK_ROLE_FRAME;
  }
  return ATK_ROLE_UNKNOWN;
}

void ReplaceRelation(AtkObject* object, AtkRelationType type, AtkObject* target) {
  AtkRelationSet* relations = atk_object_ref_relation_set(object);
  if (relations == nullptr) return;
  AtkRelation* old = atk_relation_set_get_relation_by_type(relations, type);
  if (old != nullptr) atk_relation_set_remove(relations, old);
  g_object_unref(relations);
  atk_object_add_relationship(object, type, target);
}

}  // namespace

void AccessibleInfo::SetRole(wxWindow* control, Role role) {
  for (AtkObject* object : {AccessibleOf(control), WindowAccessibleOf(control)})
    if (object != nullptr) atk_object_set_role(object, AtkRoleOf(role));
}

void AccessibleInfo::SetName(wxWindow* control, const wxString& name) {
  for (AtkObject* object : {AccessibleOf(control), WindowAccessibleOf(control)})
    if (object != nullptr) atk_object_set_name(object, name.utf8_str());
}

void AccessibleInfo::SetDescription(wxWindow* control, const wxString& description) {
  for (AtkObject* object : {AccessibleOf(control), WindowAccessibleOf(control)})
    if (object != nullptr) atk_object_set_description(object, description.utf8_str());
}

void AccessibleInfo::Describe(wxWindow* control, Role role, const wxString& name, const wxString& description) {
  SetRole(control, role);
  SetName(control, name);
  if (!description.empty()) SetDescription(control, description);
}

void AccessibleInfo::SetLabelledBy(wxWindow* field, wxWindow* label, const wxString& name) {
  AtkObject* fieldObject = AccessibleOf(field);
  AtkObject* labelObject = AccessibleOf(label);
  if (fieldObject == nullptr || labelObject == nullptr) return;
  atk_object_set_role(labelObject, ATK_ROLE_LABEL);
  atk_object_set_name(labelObject, label->GetLabel().utf8_str());
  atk_object_set_name(fieldObject, (name.empty() ? label->GetLabel() : name).utf8_str());
  ReplaceRelation(fieldObject, ATK_RELATION_LABELLED_BY, labelObject);
  // One label may name several fields (the parts of a telephone number).
  atk_object_add_relationship(labelObject, ATK_RELATION_LABEL_FOR, fieldObject);
}

void AccessibleInfo::SetChecked(wxWindow* control, bool checked) {
  AtkObject* object = AccessibleOf(control);
  if (object == nullptr) return;
  ExtraInfo& extra = Extend(object);
  const bool changed = !extra.hasChecked || extra.checked != checked;
  extra.hasChecked = true;
  extra.checked = checked;
  if (changed) {
    atk_object_notify_state_change(object, ATK_STATE_CHECKED, checked);
    atk_object_notify_state_change(object, ATK_STATE_SELECTED, checked);
  }
}

void AccessibleInfo::SetRows(wxWindow* list, const std::vector<Row>& rows) {
  AtkObject* object = AccessibleOf(list);
  if (object == nullptr) return;
  ExtraInfo& extra = Extend(object);
  const gint own = OriginalClass(object)->get_n_children(object);
  std::vector<AtkObject*> old;
  old.swap(extra.rows);
  for (std::size_t i = old.size(); i-- > 0;)
    g_signal_emit_by_name(object, "children-changed::remove", own + static_cast<gint>(i), old[i]);
  for (AtkObject* row : old) g_object_unref(row);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    auto* row = static_cast<RowAccessible*>(g_object_new(RowAccessibleType(), nullptr));
    row->index = own + static_cast<gint>(i);
    row->checked = rows[i].checked;
    AtkObject* atk = ATK_OBJECT(row);
    atk_object_set_role(atk, ATK_ROLE_TABLE_ROW);
    atk_object_set_name(atk, rows[i].name.utf8_str());
    atk_object_set_description(atk, rows[i].description.utf8_str());
    atk_object_set_parent(atk, object);
    extra.rows.push_back(atk);
    g_signal_emit_by_name(object, "children-changed::add", row->index, atk);
  }
}

}  // namespace veradex
