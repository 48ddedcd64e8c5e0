// Every text of the page, in Japanese (the desktop program's words where it has them) and
// English. Elements name their text with data-text="key"; the rest is filled in by code.

export const LANGUAGES = ['ja', 'en'];
export const DEFAULT_LANGUAGE = 'ja';

const TEXTS = {
  ja: {
    title: 'Pixorale',
    tagline: '画像を音楽に変換します',
    language: '言語',
    dropTitle: '画像を選ぶか、ここにドロップしてください',
    dropFormats: 'BMP・PNG・JPEG',
    privacy: '画像はこの端末の中だけで変換され、どこにも送信されません。',
    result: '結果',
    roll: 'ピアノロール',
    rollEmpty: '画像を選ぶと、ここに音符が表示されます',
    melody: 'メロディ',
    chordsTrack: '和音',
    play: '再生',
    stop: '停止',
    saveMid: 'MIDIファイルを保存',
    saveWav: 'WAVファイルを保存',
    command: 'コマンドライン',
    copy: 'コピー',
    copied: 'コピーしました',
    settings: '設定',
    preset: 'プリセット',
    presetCustom: 'カスタム',
    newSeed: '新しいシード',
    seedHint: '同じ画像・設定・シードからは同じ曲ができます。',
    about: 'Pixorale について',
    aboutText: 'Pixorale は画像の列ごとに音符を作り、MIDIファイルにします。赤の値が音の高さに、青の値が次の音までの時間になります。',
    licenses: 'ライセンス',
    licenseSound: '音の再生',
    licenseSynth: 'シンセサイザー',
    licenseSoundFont: '音源',
    licensePictures: '画像の読み込み',
    licenseOptions: 'オプションの解析',
    licensePixorale: 'このページと変換処理',
    summary: '{notes}音・長さ {length}・音域 {low}～{high}・シード {seed}',
    starting: '変換の準備をしています…',
    converting: '変換しています…',
    soundDownload: '音源を読み込んでいます… {percent}%',
    soundDownloadUnknown: '音源を読み込んでいます…',
    soundPrepare: '音源を準備しています…',
    wavRender: 'WAVファイルを作成しています… {percent}%',
    wavWrite: 'WAVファイルを書き出しています…',
    warning: '注意: {detail}',
    convertFailed: '変換できませんでした: {detail}',
    engineFailed: '変換の準備ができませんでした。ページを再読み込みしてください: {detail}',
    soundFailed: '音源を読み込めませんでした: {detail}',
    noAudio: 'このブラウザーでは音を再生できません',
    wavTooLong: 'WAVファイルは{minutes}分までの曲で作れます',
    wavFailed: 'WAVファイルを作れませんでした: {detail}',
    groupGeneral: '変換設定',
    groupMusical: '音楽らしく',
    groupHearAndSee: '楽器',
    low: '下限',
    high: '上限',
    rivalHint: '{other}とはどちらか一方です。空欄なら使いません。',
    problemWhole: '{field}には{min}から{max}までの整数を入力してください',
    problemWholeFrom: '{field}には{min}以上の整数を入力してください',
    problemDecimal: '{field}には{min}より大きい数を入力してください',
    problemBounds: '{field}には{min}から{max}までの整数を下限と上限の両方に入力してください',
    problemChoice: '{field}を選んでください',
    failureOptionConflict: 'いっしょに使えない設定があります: {detail}',
    failureUnsupportedPicture: 'この画像は読めません。BMP・PNG・JPEGの画像を選んでください',
    failureNotTrueColour: '24ビット画像を使用してください',
    failureDamagedPicture: '画像が壊れているため読めません',
    failurePictureTooLarge: '画像が大きすぎます',
    failureUnreadablePicture: '画像を読めませんでした。もう一度選んでください',
    failureOutOfMemory: 'メモリが足りません',
    failureOther: '変換できませんでした: {detail}',
  },
  en: {
    title: 'Pixorale',
    tagline: 'Turns a picture into music',
    language: 'Language',
    dropTitle: 'Choose a picture or drop it here',
    dropFormats: 'BMP, PNG or JPEG',
    privacy: 'Pictures are converted on this device and sent nowhere.',
    result: 'Result',
    roll: 'Piano roll',
    rollEmpty: 'Choose a picture to see its notes here',
    melody: 'Melody',
    chordsTrack: 'Chords',
    play: 'Play',
    stop: 'Stop',
    saveMid: 'Save MIDI file',
    saveWav: 'Save WAV file',
    command: 'Command line',
    copy: 'Copy',
    copied: 'Copied',
    settings: 'Settings',
    preset: 'Preset',
    presetCustom: 'Custom',
    newSeed: 'New seed',
    seedHint: 'The same picture, settings and seed give the same song.',
    about: 'About Pixorale',
    aboutText: 'Pixorale makes a note of every column of a picture and writes them as a MIDI file: the red values give the pitches, the blue values the time to the next note.',
    licenses: 'Licences',
    licenseSound: 'Sound',
    licenseSynth: 'Synthesizer',
    licenseSoundFont: 'SoundFont',
    licensePictures: 'Picture decoding',
    licenseOptions: 'Option parsing',
    licensePixorale: 'This page and the conversion',
    summary: '{notes} notes · {length} · pitches {low} to {high} · seed {seed}',
    starting: 'Getting the converter ready…',
    converting: 'Converting…',
    soundDownload: 'Loading the sounds… {percent}%',
    soundDownloadUnknown: 'Loading the sounds…',
    soundPrepare: 'Preparing the sounds…',
    wavRender: 'Making the WAV file… {percent}%',
    wavWrite: 'Writing the WAV file…',
    warning: 'Note: {detail}',
    convertFailed: 'Could not convert: {detail}',
    engineFailed: 'The converter could not start; please reload the page: {detail}',
    soundFailed: 'Could not load the sounds: {detail}',
    noAudio: 'This browser cannot play sound',
    wavTooLong: 'A WAV file can be made of songs up to {minutes} minutes long',
    wavFailed: 'Could not make the WAV file: {detail}',
    groupGeneral: 'Conversion settings',
    groupMusical: 'Make it musical',
    groupHearAndSee: 'Instruments',
    low: 'Low',
    high: 'High',
    rivalHint: 'Either this or {other}; empty: not used.',
    problemWhole: '{field}: enter a whole number from {min} to {max}',
    problemWholeFrom: '{field}: enter a whole number of {min} or more',
    problemDecimal: '{field}: enter a number above {min}',
    problemBounds: '{field}: enter whole numbers from {min} to {max} as both low and high',
    problemChoice: '{field}: choose one',
    failureOptionConflict: 'Some settings cannot go together: {detail}',
    failureUnsupportedPicture: 'This picture cannot be read; choose a BMP, PNG or JPEG picture',
    failureNotTrueColour: 'Please use a 24-bit picture',
    failureDamagedPicture: 'The picture is damaged and cannot be read',
    failurePictureTooLarge: 'The picture is too large',
    failureUnreadablePicture: 'The picture could not be read; please choose it again',
    failureOutOfMemory: 'Not enough memory',
    failureOther: 'Could not convert: {detail}',
  },
};

// The text `key` in `language`, each {name} replaced by params.name.
export function text(language, key, params = {}) {
  const template = TEXTS[language]?.[key] ?? TEXTS[DEFAULT_LANGUAGE][key] ?? key;
  return template.replace(/\{(\w+)\}/g, (whole, name) => (name in params ? String(params[name]) : whole));
}

// Integers above this are no limit a person needs to be told of ("1 or more", not "1 to
// 4294967295").
const TOLD_MAXIMUM = 1000000n;

// The message for a value the converter refused: the option's name as the page labels it,
// with the limits the table gives.
export function valueProblemText(language, option) {
  const params = { field: option.label[language], min: option.min, max: option.max };
  if (option.kind === 'whole') {
    return text(language, BigInt(option.max) > TOLD_MAXIMUM ? 'problemWholeFrom' : 'problemWhole',
      params);
  }
  if (option.kind === 'decimal') return text(language, 'problemDecimal', params);
  if (option.kind === 'bounds') return text(language, 'problemBounds', params);
  return text(language, 'problemChoice', params);
}

// Puts the texts of `language` into every element under `root` that names one.
export function applyTexts(root, language) {
  for (const element of root.querySelectorAll('[data-text]')) {
    element.textContent = text(language, element.dataset.text);
  }
  for (const element of root.querySelectorAll('[data-text-label]')) {
    element.setAttribute('aria-label', text(language, element.dataset.textLabel));
  }
}
