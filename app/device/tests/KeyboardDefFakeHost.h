// A KeyboardDefHost for tests: serves a program folder and records every
// call, both as readable lines in call order and as structured data.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/device/KeyboardDefHost.h"

namespace Quillon::KeyboardDefTesting {

class FakeHost : public KeyboardDefHost {
public:
    struct Key {
        KeyboardView view;
        std::wstring name;
        std::wstring desc;
        int code;
        KeyRect rect;
        std::wstring icon;
    };

    explicit FakeHost(std::filesystem::path folder) : m_folder(std::move(folder)) {}

    std::filesystem::path GetProgramFolder() const override { return m_folder; }
    void AddDevice(const std::wstring& name, int vid, int pid, int device_type,
                   bool state) override {
        Record(L"AddDevice " + name + L" " + Numbers({vid, pid, device_type, state ? 1 : 0}));
    }
    void AddHidRule(int vid, int pid, const std::wstring& product_name, int device_type, int mode,
                    const std::wstring& hid_interface) override {
        Record(L"AddHidRule " + Numbers({vid, pid, device_type, mode}) + L" [" + product_name +
               L"] " + hid_interface);
    }
    void ClearItem(KeyboardView view) override { Record(L"ClearItem " + Name(view)); }
    void SetRect(KeyboardView view, const KeyRect& r) override {
        Record(L"SetRect " + Name(view) + L" " + Numbers({r.left, r.top, r.right, r.bottom}));
    }
    void SetKeyboardImage(KeyboardView view, const std::wstring& image) override {
        Record(L"SetKeyboardImage " + Name(view) + L" " + image);
    }
    void SetWidthAndHeight(KeyboardView view, int width, int height) override {
        Record(L"SetWidthAndHeight " + Name(view) + L" " + Numbers({width, height}));
    }
    void AddKeyItem(KeyboardView view, const std::wstring& name, const std::wstring& desc, int code,
                    const KeyRect& rect, const std::wstring& icon) override {
        keys.push_back({view, name, desc, code, rect, icon});
    }
    void SetTabVisible(int tab_index, bool visible) override {
        Record(L"SetTabVisible " + Numbers({tab_index, visible ? 1 : 0}));
    }
    void SetFirmwareUpdateVisible(bool visible) override {
        Record(std::wstring(L"SetFirmwareUpdateVisible ") + (visible ? L"1" : L"0"));
    }
    void SetBrightnessMax(int maximum) override {
        Record(L"SetBrightnessMax " + Numbers({maximum}));
    }
    void SetSpeedMax(int maximum) override { Record(L"SetSpeedMax " + Numbers({maximum})); }
    void SetVersionText(const std::wstring& text) override { Record(L"SetVersionText " + text); }
    void SetCopyrightText(const std::wstring& text) override {
        Record(L"SetCopyrightText " + text);
    }
    void CloseDatabase() override { Record(L"CloseDatabase"); }
    void OpenDatabase(const std::wstring& keyboard_name) override {
        Record(L"OpenDatabase [" + keyboard_name + L"]");
    }
    int GetCurrentProfile() const override { return profile; }
    void RegisterDeviceNotifications() override { Record(L"RegisterDeviceNotifications"); }

    // Recorded lines starting with `prefix`, in call order.
    std::vector<std::wstring> Calls(const std::wstring& prefix) const {
        std::vector<std::wstring> out;
        for (const std::wstring& c : calls)
            if (c.starts_with(prefix))
                out.push_back(c);
        return out;
    }
    std::vector<Key> KeysOf(KeyboardView view) const {
        std::vector<Key> out;
        for (const Key& k : keys)
            if (k.view == view)
                out.push_back(k);
        return out;
    }

    int profile = 1;
    std::vector<std::wstring> calls;
    std::vector<Key> keys;

private:
    void Record(std::wstring line) { calls.push_back(std::move(line)); }
    static std::wstring Name(KeyboardView view) {
        switch (view) {
        case KeyboardView::Keys:
            return L"keys";
        case KeyboardView::Light:
            return L"light";
        case KeyboardView::Tab7:
            return L"tab7";
        }
        return L"?";
    }
    static std::wstring Numbers(std::initializer_list<int> values) {
        std::wstring out;
        for (int v : values)
            out += (out.empty() ? L"" : L" ") + std::to_wstring(v);
        return out;
    }

    std::filesystem::path m_folder;
};

} // namespace Quillon::KeyboardDefTesting
