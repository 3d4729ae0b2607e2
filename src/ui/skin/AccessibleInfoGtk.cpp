// The GTK side: the values go onto the ATK object of the widget that takes
// the keyboard (the entry of a text control, the drawing surface of a skinned
// control), which the accessibility bridge hands to the screen reader.
//
// Role, name, description and relations are set through ATK's own calls.
// States and children are answered by the ATK object's class, and the
// surfaces wxWidgets draws on are plain containers to GTK. So the surface's
// widget class is given an accessible type of our own (GTK's documented way
// for a widget to bring its accessible), a container accessible that also
// reports a checked state and rows when a control has been given them, and
// otherwise answers exactly as GTK's container accessible does.
#include "ui/skin/AccessibleInfo.h"

#include <atk/atk.h>
#include <gtk/gtk-a11y.h>
#include <gtk/gtk.h>
#include <wx/window.h>

#include <cstring>
#include <set>

namespace veradex {

namespace {

// What a control has been given beyond ATK's own fields.
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

ExtraInfo& ExtraOf(AtkObject* object) {
  ExtraInfo* extra = FindExtra(object);
  if (extra == nullptr) {
    extra = new ExtraInfo;
    g_object_set_qdata_full(G_OBJECT(object), ExtraQuark(), extra, FreeExtra);
  }
  return *extra;
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

// Registers an accessible class of ours with the type system.
GType RegisterAccessible(GType parent, const char* name, guint16 classSize, guint16 instanceSize,
                         GClassInitFunc classInit) {
  GTypeInfo info = {};
  info.class_size = classSize;
  info.class_init = classInit;
  info.instance_size = instanceSize;
  return g_type_register_static(parent, name, &info, GTypeFlags(0));
}

GType RowAccessibleType() {
  static const GType type = RegisterAccessible(ATK_TYPE_OBJECT, "VeradexRowAccessible", sizeof(RowAccessibleClass),
                                               sizeof(RowAccessible), RowClassInit);
  return type;
}

// ---- the accessible of a drawing surface: a container that may be checked and have rows ----

struct ControlAccessible {
  GtkContainerAccessible parent;
};
struct ControlAccessibleClass {
  GtkContainerAccessibleClass parent;
};

AtkObjectClass* ContainerClass() { return ATK_OBJECT_CLASS(g_type_class_peek(GTK_TYPE_CONTAINER_ACCESSIBLE)); }

AtkStateSet* ControlStateSet(AtkObject* object) {
  AtkStateSet* states = ContainerClass()->ref_state_set(object);
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

gint ControlChildCount(AtkObject* object) {
  const ExtraInfo* extra = FindExtra(object);
  const gint own = ContainerClass()->get_n_children(object);
  return own + (extra != nullptr ? static_cast<gint>(extra->rows.size()) : 0);
}

AtkObject* ControlChild(AtkObject* object, gint index) {
  const gint own = ContainerClass()->get_n_children(object);
  if (index < own) return ContainerClass()->ref_child(object, index);
  const ExtraInfo* extra = FindExtra(object);
  const auto row = static_cast<std::size_t>(index - own);
  if (extra == nullptr || row >= extra->rows.size()) return nullptr;
  return ATK_OBJECT(g_object_ref(extra->rows[row]));
}

void ControlClassInit(gpointer klass, gpointer) {
  AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
  atk->ref_state_set = ControlStateSet;
  atk->get_n_children = ControlChildCount;
  atk->ref_child = ControlChild;
}

GType ControlAccessibleType() {
  static const GType type =
      RegisterAccessible(GTK_TYPE_CONTAINER_ACCESSIBLE, "VeradexControlAccessible", sizeof(ControlAccessibleClass),
                         sizeof(ControlAccessible), ControlClassInit);
  return type;
}

// wxWidgets draws its windows on a container widget of its own type. Before
// the first accessible of such a surface is made, its class is told to make
// ours; a surface whose accessible GTK made earlier keeps GTK's, which lacks
// only the checked state and the rows.
void PrepareSurfaceClass(GtkWidget* widget) {
  static std::set<GType> prepared;
  const GType type = G_OBJECT_TYPE(widget);
  if (prepared.count(type) != 0) return;
  prepared.insert(type);
  if (!g_type_is_a(type, GTK_TYPE_CONTAINER) || std::strncmp(g_type_name(type), "wx", 2) != 0) return;
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(g_type_class_ref(type)), ControlAccessibleType());
}

AtkObject* AccessibleOfWidget(GtkWidget* widget) {
  if (widget == nullptr) return nullptr;
  PrepareSurfaceClass(widget);
  return gtk_widget_get_accessible(widget);
}

// The widget a screen reader should meet: the one that takes the keyboard.
AtkObject* AccessibleOf(wxWindow* control) {
  if (control == nullptr) return nullptr;
  GtkWidget* widget = control->GetConnectWidget();
  if (widget == nullptr) widget = control->GetHandle();
  return AccessibleOfWidget(widget);
}

// The accessible that can carry a checked state and rows, or null.
AtkObject* ControlAccessibleOf(wxWindow* control) {
  AtkObject* object = AccessibleOf(control);
  return object != nullptr && G_TYPE_CHECK_INSTANCE_TYPE(object, ControlAccessibleType()) ? object : nullptr;
}

// A top-level window is met twice: as the window the desktop lists and as its
// surface, which takes the keyboard when no control does. Both say the same.
AtkObject* WindowAccessibleOf(wxWindow* control) {
  if (control == nullptr || !control->IsTopLevel() || control->GetHandle() == nullptr) return nullptr;
  return gtk_widget_get_accessible(control->GetHandle());
}

// What a screen reader meets of the control: its own accessible and, for a
// top-level window, the window's.
template <typename Action>
void ForEachAccessible(wxWindow* control, Action action) {
  for (AtkObject* object : {AccessibleOf(control), WindowAccessibleOf(control)})
    if (object != nullptr) action(object);
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
  ForEachAccessible(control, [role](AtkObject* object) { atk_object_set_role(object, AtkRoleOf(role)); });
}

void AccessibleInfo::SetName(wxWindow* control, const wxString& name) {
  ForEachAccessible(control, [&name](AtkObject* object) { atk_object_set_name(object, name.utf8_str()); });
}

void AccessibleInfo::SetDescription(wxWindow* control, const wxString& description) {
  ForEachAccessible(control,
                    [&description](AtkObject* object) { atk_object_set_description(object, description.utf8_str()); });
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
  AtkObject* object = ControlAccessibleOf(control);
  if (object == nullptr) return;
  ExtraInfo& extra = ExtraOf(object);
  const bool changed = !extra.hasChecked || extra.checked != checked;
  extra.hasChecked = true;
  extra.checked = checked;
  if (changed) {
    atk_object_notify_state_change(object, ATK_STATE_CHECKED, checked);
    atk_object_notify_state_change(object, ATK_STATE_SELECTED, checked);
  }
}

void AccessibleInfo::SetRows(wxWindow* list, const std::vector<Row>& rows) {
  AtkObject* object = ControlAccessibleOf(list);
  if (object == nullptr) return;
  ExtraInfo& extra = ExtraOf(object);
  const gint own = ContainerClass()->get_n_children(object);
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
