// The page's state: the texts of its fields as typed, named as the settings, and the setup in the address. The
// texts go to the core as they are; what each printout takes of them, and how, the core decides.

export const $ = (id) => document.getElementById(id);

// Every field by its name: a choice by the button that is checked, a switch as on or off, the rest as typed.
export function fieldTexts() {
    const texts = {};
    for (const field of document.querySelectorAll('input[name], select[name]')) {
        if (field.type === 'radio') {
            if (field.checked) texts[field.name] = field.value;
        } else if (field.type === 'checkbox') {
            texts[field.name] = field.checked ? 'on' : '';
        } else {
            texts[field.name] = field.value;
        }
    }
    return texts;
}

export function makeState(core) {
    const state = { paperChosen: false };

    state.geometryChoice = () => fieldTexts().geometry;

    // The browser language's region decides the paper, as the locale's territory does for the Linux tool.
    state.defaultPaper = () => {
        for (const tag of navigator.languages || [navigator.language]) {
            try {
                const region = new Intl.Locale(tag).maximize().region;
                if (region) return core.defaultPaper(region);
            } catch (error) {
                // An odd language tag says nothing about the paper.
            }
        }
        return core.defaultPaper('');
    };

    // The fields of the link the page was opened with; a details box that holds a field the link sets opens on it.
    state.fillFromQuery = () => {
        const query = new URLSearchParams(location.search);
        const linked = core.fieldsOfLink([...query]);
        for (const field of document.querySelectorAll('input[name], select[name]')) {
            const text = linked.fields[field.name];
            if (text === undefined) continue;
            if (field.type === 'radio') field.checked = field.value === text;
            else if (field.type === 'checkbox') field.checked = text !== '';
            else if (field.name !== 'paper' || linked.paperChosen) field.value = text;
        }
        for (const box of document.querySelectorAll('details')) {
            if ([...box.querySelectorAll('[name]')].some((field) => query.has(field.name))) box.open = true;
        }
        state.paperChosen = linked.paperChosen;
    };

    // The link to the current setup, as the core composes it.
    state.queryOfFields = () => new URLSearchParams(core.shareQuery(fieldTexts(), state.paperChosen)).toString();
    return state;
}
