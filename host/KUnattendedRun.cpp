#include "host/KUnattendedRun.h"

#include "ui/dialogs/KDialogSuppressException.h"

#include <cstdio>

KUnattendedRun::KUnattendedRun()
    : m_dialogs(dialogsSuppressedFlag(), true), m_previous(AfxSetMessagePresenter([](const char* text, UINT type) {
        fflush(stdout);
        fprintf(stderr, "quelmhost: %s\n", text);
        return AfxDefaultButton(type);
      })) {}

KUnattendedRun::~KUnattendedRun() { AfxSetMessagePresenter(m_previous); }
